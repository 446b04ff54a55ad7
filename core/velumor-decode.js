/* velumor-decode.js: decodes the Velumor data blocks of a page.
 *
 * A data block is an element <span data-velumor="CARRIERS">FALLBACK</span>, or
 * <a data-velumor="..."> where it stands for a link.
 * Every character of the protected HTML is spread over two carriers; the low
 * four bits of the first give the high half of its code, those of the second
 * the low half. Each block is replaced by the HTML it holds once the document
 * is ready. Content inserted later is decoded with velumorDecode(element).
 *
 * A block marked data-velumor-reveal="interaction" waits instead for the
 * first sign of a person on the page: a pointer moved or pressed, a touch, a
 * key, a wheel turned, a placeholder focused. A browser that only loads the
 * page never shows it. Until then it shows its placeholder, which can be
 * focused, so tabbing to it or pressing Enter on it reveals it as well.
 * Scrolling and focus elsewhere are no sign: pages cause both while loading
 * (autofocus, an anchor in the address, a script moving the focus), and a
 * person who scrolls or moves the focus uses a wheel, a key or a pointer.
 *
 * No eval, no document.write, no inline handlers, no timers: the script runs
 * under a Content-Security-Policy of script-src 'self'.
 */
(function () {
  "use strict";

  // Not the window's own "focus": headless browsers fire it on loading too.
  var SIGNS = ["pointermove", "pointerdown", "mousemove", "mousedown", "touchstart", "keydown", "wheel", "focusin",
    "click"];
  var LISTENING = { capture: true, passive: true };
  var FOCUSABLE = "a[href], area[href], button, input, select, textarea, [tabindex]";
  var personSeen = false;

  function decodeCarriers(carriers) {
    var text = "";
    for (var i = 0; i < carriers.length; i += 2) {
      text += String.fromCharCode(((carriers.charCodeAt(i) & 15) << 4) | (carriers.charCodeAt(i + 1) & 15));
    }
    return text;
  }

  function waitsForPerson(block) {
    return block.getAttribute("data-velumor-reveal") === "interaction";
  }

  function replaceBlock(block) {
    // Parsed in the block's own place, so rows, list items and options keep
    // their parents, as the HTML would have in the page source.
    var range = document.createRange();
    range.selectNode(block);
    var html = range.createContextualFragment(decodeCarriers(block.getAttribute("data-velumor")));
    var inserted = Array.prototype.slice.call(html.childNodes);
    var hadFocus = document.activeElement === block;
    block.parentNode.replaceChild(html, block);
    // A keyboard user who was on the placeholder stays where it was: on the link it became.
    for (var i = 0; hadFocus && i < inserted.length; i++) {
      if (inserted[i].nodeType !== 1) continue;
      var target = inserted[i].matches(FOCUSABLE) ? inserted[i] : inserted[i].querySelector(FOCUSABLE);
      if (target) {
        target.focus();
        break;
      }
    }
  }

  // Decodes the blocks in root (the whole document when left out), root
  // itself included; returns how many it replaced. Blocks that wait for a
  // person stay until one has been seen on the page.
  function velumorDecode(root) {
    root = root || document;
    var blocks = [];
    if (root.nodeType === 1 && root.hasAttribute("data-velumor")) blocks.push(root);
    var inner = root.querySelectorAll("[data-velumor]");
    for (var i = 0; i < inner.length; i++) blocks.push(inner[i]);
    var replaced = 0;
    for (var k = 0; k < blocks.length; k++) {
      if (blocks[k].parentNode && (personSeen || !waitsForPerson(blocks[k]))) {
        replaceBlock(blocks[k]);
        replaced++;
      }
    }
    return replaced;
  }

  function onFirstSign(event) {
    // Events a script made up are no person.
    if (event.isTrusted === false) return;
    // Focus counts where a keyboard or screen-reader user puts it: on a placeholder.
    if (event.type === "focusin" && !(event.target.closest && event.target.closest("[data-velumor-reveal]"))) return;
    personSeen = true;
    for (var i = 0; i < SIGNS.length; i++) window.removeEventListener(SIGNS[i], onFirstSign, LISTENING);
    velumorDecode(document);
  }

  for (var i = 0; i < SIGNS.length; i++) window.addEventListener(SIGNS[i], onFirstSign, LISTENING);
  window.velumorDecode = velumorDecode;
  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", function () {
      velumorDecode(document);
    });
  } else {
    velumorDecode(document);
  }
})();
