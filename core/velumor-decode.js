/* velumor-decode.js: decodes the Velumor data blocks of a page.
 *
 * A data block is an element <span data-velumor="CARRIERS">FALLBACK</span>, or
 * <a data-velumor="..."> where it stands for a link.
 * Every character of the protected HTML is spread over two carriers; the low
 * four bits of the first give the high half of its code, those of the second
 * the low half. Each block is replaced by the HTML it holds once the document
 * is ready. Content inserted later is decoded with velumorDecode(element).
 * No eval, no document.write, no inline handlers: the script runs under a
 * Content-Security-Policy of script-src 'self'.
 */
(function () {
  "use strict";

  function decodeCarriers(carriers) {
    var text = "";
    for (var i = 0; i < carriers.length; i += 2) {
      text += String.fromCharCode(((carriers.charCodeAt(i) & 15) << 4) | (carriers.charCodeAt(i + 1) & 15));
    }
    return text;
  }

  function replaceBlock(block) {
    // Parsed in the block's own place, so rows, list items and options keep
    // their parents, as the HTML would have in the page source.
    var range = document.createRange();
    range.selectNode(block);
    var html = range.createContextualFragment(decodeCarriers(block.getAttribute("data-velumor")));
    block.parentNode.replaceChild(html, block);
  }

  // Decodes the blocks in root (the whole document when left out), root
  // itself included; returns how many it replaced.
  function velumorDecode(root) {
    root = root || document;
    var blocks = [];
    if (root.nodeType === 1 && root.hasAttribute("data-velumor")) blocks.push(root);
    var inner = root.querySelectorAll("[data-velumor]");
    for (var i = 0; i < inner.length; i++) blocks.push(inner[i]);
    var replaced = 0;
    for (var k = 0; k < blocks.length; k++) {
      if (blocks[k].parentNode) {
        replaceBlock(blocks[k]);
        replaced++;
      }
    }
    return replaced;
  }

  window.velumorDecode = velumorDecode;
  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", function () {
      velumorDecode(document);
    });
  } else {
    velumorDecode(document);
  }
})();
