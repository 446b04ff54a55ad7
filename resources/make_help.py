#!/usr/bin/python3
"""Makes the help pages in hilfe/: the HTML pages, hilfe.css and velumor.png.

The program opens hilfe\\index.htm beside itself in the default browser.
Every page gets the same head, navigation and foot from this script, so the
pages stay alike; the text of each page is in PAGES below.

The example block on schutz.htm comes from the built velumor-encode with a
fixed seed, so it decodes to the text shown and stays the same on every run.

Run from anywhere, after building the native preset:
  /usr/bin/python3 resources/make_help.py [PATH/TO/velumor-encode]
"""

import html
import os
import re
import subprocess
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
OUT = os.path.join(HERE, "hilfe")

ROOT = os.path.dirname(HERE)
ENCODER = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "native", "bin", "velumor-encode")
# major.minor.revision of the project version major.minor.0.revision
with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake:
    _major, _minor, _zero, _revision = re.search(r"project\(Velumor VERSION (\d+)\.(\d+)\.(\d+)\.(\d+)", cmake.read()).groups()
VERSION = f"{_major}.{_minor}.{_revision}"
MAKER = "Norvane Software"
MAKER_HOST = "www.norvane.example"
MAKER_MAIL = "info@norvane.example"


# --------------------------------------------------------------------------
# The example block: made by the built command-line encoder from a fixed seed


def example_block(text, seed):
    done = subprocess.run([ENCODER, "--seed", str(seed), text], capture_output=True, check=True)
    return done.stdout.decode("ascii").replace("\r\n", "\n").rstrip("\n")


EXAMPLE_TEXT = "info@example.com"
EXAMPLE = html.escape(example_block(EXAMPLE_TEXT, 2006), quote=False)


# --------------------------------------------------------------------------
# The pages: file name, entry in the navigation, heading, body

PAGES = []


def page(name, nav, title, body):
    PAGES.append((name, nav, title, body.strip("\n")))


page("index.htm", "Übersicht", "Velumor – Hilfe", """
<p class="lead"><img src="velumor.png" width="32" height="32" alt="" class="icon">
Velumor schützt Texte auf Ihren Webseiten – zum Beispiel Ihre E-Mail-Adresse
oder einen ganzen HTML-Abschnitt – vor Programmen, die Webseiten nach Adressen
durchsuchen. Aus dem Text in der Zwischenablage macht Velumor einen kleinen
Skriptblock. Im Quelltext Ihrer Seite steht danach nur noch ein scheinbar
zufälliges Buchstabengemisch; erst der Browser Ihrer Besucher setzt daraus
wieder Ihren Text zusammen und zeigt ihn ganz normal an.</p>

<p>Velumor hat kein eigenes Programmfenster. Nach dem Start sitzt es als
kleines Symbol – ein blaues Schild mit einem @ – im Infobereich der
Taskleiste, neben der Uhr. Wenn Sie mit der Maus darauf zeigen, erinnert es
Sie: „Links: Code codieren -:- Rechts: Menü.“</p>

<h2>In drei Schritten</h2>
<ol class="steps">
<li><strong>Kopieren:</strong> Markieren Sie den Text, den Sie schützen möchten,
und kopieren Sie ihn in die Zwischenablage, etwa mit <kbd>Strg-C</kbd>.</li>
<li><strong>Kodieren:</strong> Klicken Sie mit der <em>linken</em> Maustaste auf
das Velumor-Symbol neben der Uhr. Velumor ersetzt den Inhalt der
Zwischenablage durch den fertigen Skriptblock.</li>
<li><strong>Einfügen:</strong> Fügen Sie den Block in Ihrem HTML-Editor an der
Stelle ein, an der der Text erscheinen soll – mit <kbd>Strg-V</kbd> oder
<kbd>Umsch-Einfg</kbd>.</li>
</ol>
<p>Öffnen Sie die Seite danach im Browser: Ihr Text steht dort wie gewohnt.
Im Quelltext der Seite ist er nicht mehr zu finden.</p>

<h2>Themen</h2>
<ul class="topics">
<li><a href="kodieren.htm">Text kodieren</a> – der Ablauf im Einzelnen, Fortschritt und Abbruch</li>
<li><a href="schutz.htm">So wirkt der Schutz</a> – was der Block tut und warum Adresssammler nichts finden</li>
<li><a href="einfuegen.htm">In den HTML-Editor einfügen</a> – Code-Ansicht, visuelle Editoren, Redaktionssysteme</li>
<li><a href="menue.htm">Das Menü und der Autostart</a> – alle Befehle der rechten Maustaste</li>
<li><a href="hinweise.htm">Die Hinweisfenster</a> – ausblenden und wieder zurückholen</li>
<li><a href="grenzen.htm">Grenzen und Tipps</a> – was Velumor kann und was nicht</li>
<li><a href="info.htm">Über Velumor</a> – Version und Hersteller</li>
</ul>
<p class="note">Das Symbol ist nicht zu sehen? Neuere Windows-Versionen legen
Symbole im Infobereich oft in einen ausgeblendeten Bereich, den Sie über den
kleinen Pfeil neben der Uhr öffnen. Von dort können Sie das Velumor-Symbol in
die Taskleiste ziehen, damit es immer sichtbar ist.</p>
""")


page("kodieren.htm", "Text kodieren", "Text kodieren", """
<h2>Schritt für Schritt</h2>
<ol class="steps">
<li>Markieren Sie den Text in einem beliebigen Programm – im Editor, im
Textverarbeitungsprogramm, im Browser – und kopieren Sie ihn mit
<kbd>Strg-C</kbd> (oder über den Befehl „Kopieren“) in die Zwischenablage.</li>
<li>Klicken Sie mit der linken Maustaste auf das Velumor-Symbol neben der Uhr.
Den gleichen Befehl finden Sie auch im Menü der rechten Maustaste unter
„Kodieren“.</li>
<li>Velumor kodiert den Text und legt den fertigen Skriptblock in die
Zwischenablage. Ihr ursprünglicher Text ist dort jetzt nicht mehr enthalten.</li>
<li>Wechseln Sie in Ihren HTML-Editor und fügen Sie den Block mit
<kbd>Strg-V</kbd> oder <kbd>Umsch-Einfg</kbd> ein.</li>
</ol>
<p>Der Block bleibt in der Zwischenablage, bis Sie etwas anderes kopieren. Sie
können ihn also auch mehrmals einfügen.</p>

<h2>Was Sie dabei sehen und hören</h2>
<ul>
<li>Zu Beginn erklingt ein kurzer, aufsteigender Doppelton.</li>
<li>Während der Arbeit erscheint am Bildschirm eine schmale Leiste, die nur aus
einer Titelzeile besteht, zum Beispiel <samp>Velumor: 42%</samp>. Sie zeigt,
wie weit die Kodierung ist. Bei kurzen Texten ist sie nur einen Augenblick zu
sehen.</li>
<li>Danach meldet ein Hinweisfenster, dass der Text kodiert ist und eingefügt
werden kann. Sie können es auf Wunsch ausblenden (siehe
<a href="hinweise.htm">Die Hinweisfenster</a>).</li>
<li>Zum Schluss erklingt ein fallender Ton – ist das Hinweisfenster offen,
erst nachdem Sie es geschlossen haben.</li>
</ul>

<h2 id="abbrechen">Kodierung abbrechen</h2>
<p>Ein sehr langer Text braucht einige Zeit. Möchten Sie nicht warten, schließen
Sie die Fortschrittsleiste mit ihrem Schließfeld (×). Velumor hört dann auf,
ein tiefer Doppelton erklingt, und in der Zwischenablage steht statt des
Blocks:</p>
<pre class="sample">*** Velumor: Abbruch durch Anwender ***</pre>
<p>Auch danach erscheint das Hinweisfenster zum Einfügen – fügen Sie in diesem
Fall aber nichts ein. Ihr ursprünglicher Text ist nicht mehr in der
Zwischenablage; kopieren Sie ihn erneut, wenn Sie es noch einmal versuchen
möchten.</p>

<h2>Meldungen</h2>
<dl>
<dt>„Die Zwischenablage enthält keinen Text. Daher kann Velumor auch nichts kodieren.“</dt>
<dd>Die Zwischenablage ist leer oder enthält nur etwas anderes als Text, zum
Beispiel ein Bild oder eine Datei. Die Zwischenablage bleibt unverändert.
Kopieren Sie den gewünschten Text und klicken Sie noch einmal.</dd>
<dt>„Velumor bearbeitet bereits einen Text ... bitte warten.“</dt>
<dd>Sie haben erneut auf das Symbol geklickt, während Velumor noch arbeitet
oder sein Hinweisfenster noch offen ist. Der laufende Durchgang geht weiter;
der zweite Klick wird nicht ausgeführt. Schließen Sie die Meldung und warten
Sie, bis der erste Durchgang fertig ist.</dd>
</dl>
""")


page("schutz.htm", "So wirkt der Schutz", "So wirkt der Schutz", """
<h2>Zwei Trägerbuchstaben für jedes Zeichen</h2>
<p>Programme, die das Internet nach E-Mail-Adressen absuchen, lesen den
Quelltext von Webseiten und suchen darin nach Mustern wie
<samp>name@firma.de</samp>. Velumor sorgt dafür, dass Ihr Text im Quelltext
gar nicht erst vorkommt.</p>
<p>Dazu verteilt Velumor jedes Zeichen Ihres Textes auf zwei Trägerbuchstaben:
Der erste trägt die eine Hälfte des Zeichencodes, der zweite die andere.
Welche Buchstaben dafür genommen werden, entscheidet bei jedem Zeichen der
Zufall. Heraus kommt eine Folge aus Buchstaben und einigen Satzzeichen, in der
keine Adresse und kein Wort Ihres Textes zu erkennen ist.</p>
<p>Weil die Träger zufällig gewählt werden, sieht der Block bei jedem Durchgang
anders aus – auch wenn Sie denselben Text noch einmal kodieren. Jeder dieser
Blöcke ergibt im Browser wieder genau Ihren Text.</p>

<h2>Ein Beispiel</h2>
<p>Aus dem Text <samp>""" + EXAMPLE_TEXT + """</samp> kann Velumor zum Beispiel
diesen Block machen:</p>
<pre class="code">""" + EXAMPLE + """</pre>
<p>Die Trägerbuchstaben stehen in der dritten Zeile zwischen den
Anführungszeichen. Die übrigen Zeilen sind bei jedem Block gleich.</p>

<h2>Was im Browser geschieht</h2>
<p>Wenn ein Besucher Ihre Seite öffnet, führt sein Browser den Block aus: Das
kleine Skript nimmt die Trägerbuchstaben paarweise, setzt aus jedem Paar das
ursprüngliche Zeichen wieder zusammen und schreibt den fertigen Text an genau
die Stelle der Seite, an der der Block steht. Der Besucher sieht Ihren Text
ganz normal; enthält er HTML, etwa einen Link, wirkt dieser wie gewohnt.</p>

<h2 id="javascript">Wenn JavaScript ausgeschaltet ist</h2>
<p>Hat ein Besucher JavaScript in seinem Browser abgeschaltet, kann der Block
den Text nicht schreiben. An seiner Stelle erscheint dann in fetter Schrift:</p>
<p class="noscript-sample">*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***</p>
<p>Ihr Text bleibt auch in diesem Fall verborgen.</p>

<h2>Wogegen der Schutz hilft</h2>
<p>Velumor schützt vor Programmen, die den Quelltext einer Seite auswerten.
Jeder Mensch, der Ihre Seite im Browser ansieht, kann den Text lesen – dafür
steht er ja auf der Seite. Eine Verschlüsselung im strengen Sinn ist das
nicht, und ein Programm, das Seiten wie ein Browser ausführt, kann den Text
ebenfalls sehen. Mehr dazu unter <a href="grenzen.htm">Grenzen und Tipps</a>.</p>
""")


page("einfuegen.htm", "In den HTML-Editor einfügen", "In den HTML-Editor einfügen", """
<p>Der Block ist HTML-Quelltext. Er muss deshalb in den <em>Quelltext</em> Ihrer
Seite eingefügt werden, und zwar an der Stelle, an der der Text später
erscheinen soll. Zum Beispiel:</p>
<pre class="code">&lt;p&gt;Schreiben Sie uns: <mark>[hier den Block einfügen]</mark>&lt;/p&gt;</pre>

<h2>Editoren mit Code-Ansicht</h2>
<p>In einem Texteditor oder einem HTML-Editor, in dem Sie den Quelltext vor sich
haben, setzen Sie die Schreibmarke an die gewünschte Stelle und drücken
<kbd>Strg-V</kbd> oder <kbd>Umsch-Einfg</kbd>. Fertig.</p>

<h2>Visuelle Editoren (WYSIWYG)</h2>
<p>Editoren, in denen Sie die Seite so bearbeiten, wie sie später aussieht,
behandeln alles, was Sie in der normalen Ansicht einfügen, als sichtbaren Text.
Der Block erschiene dann als Programmcode auf Ihrer Seite, statt zu wirken.</p>
<p>Schalten Sie deshalb vor dem Einfügen in die Quelltext-Ansicht um. Je nach
Programm heißt sie „HTML“, „Quelltext“, „Code“ oder „Source“. Fügen Sie den
Block dort ein und wechseln Sie danach wieder zurück.</p>

<h2>Redaktionssysteme (CMS) und Baukästen</h2>
<p>In Redaktionssystemen und Homepage-Baukästen verwenden Sie einen Baustein für
eigenes HTML – er heißt oft „HTML-Block“, „HTML-Code“ oder „Individuelles
HTML“ – oder die HTML-Ansicht des Texteditors. Manche Systeme entfernen
Skripte aus Sicherheitsgründen beim Speichern; prüfen Sie deshalb die
veröffentlichte Seite.</p>

<h2>Prüfen</h2>
<ul>
<li>Öffnen Sie die Seite im Browser: Ihr Text muss an der richtigen Stelle
stehen.</li>
<li>Sehen Sie sich den Quelltext der Seite an (in vielen Browsern mit
<kbd>Strg-U</kbd>): Dort stehen nur die Trägerbuchstaben, nicht Ihr Text.</li>
<li>Sehen Sie auf der Seite den Programmcode selbst, wurde der Block als
normaler Text eingefügt. Löschen Sie ihn und fügen Sie ihn in der
Quelltext-Ansicht neu ein.</li>
</ul>

<h2>Den Block nicht verändern</h2>
<p>Ändern Sie nichts am Block. Schon ein geänderter Buchstabe verfälscht den
Text, und die lange dritte Zeile darf nicht umbrochen werden. Möchten Sie den
Text ändern, kodieren Sie den neuen Text und ersetzen Sie den alten Block
vollständig.</p>
""")


page("menue.htm", "Das Menü und der Autostart", "Das Menü und der Autostart", """
<p>Ein Klick mit der <em>rechten</em> Maustaste auf das Velumor-Symbol öffnet
das Menü mit allen Befehlen:</p>
<dl class="menu">
<dt>Kodieren</dt>
<dd>Kodiert den Text in der Zwischenablage – genau wie ein Klick mit der
linken Maustaste auf das Symbol (siehe <a href="kodieren.htm">Text
kodieren</a>).</dd>
<dt>Hilfe</dt>
<dd>Öffnet diese Hilfe in Ihrem Standard-Browser.</dd>
<dt>Info</dt>
<dd>Zeigt das Fenster „Info über Velumor“ mit der Version. Über seine
Schaltflächen können Sie auf der Website von Norvane nach einer neueren
Version suchen („Auf Norvane nach neuer Version dieser Software suchen“),
die Website besuchen („Norvane besuchen“, ebenso mit einem Klick auf das
Bild links) oder eine E-Mail an Norvane schreiben; in ihrem Betreff stehen
bereits die Velumor- und die Windows-Version. „Schliessen“ schließt das
Fenster.</dd>
<dt>Autostart</dt>
<dd>Schaltet den automatischen Start bei der Anmeldung an Windows ein oder aus.
Ein Häkchen zeigt, dass er eingeschaltet ist (siehe unten).</dd>
<dt>Beenden</dt>
<dd>Entfernt das Symbol aus dem Infobereich und beendet Velumor.</dd>
<dt>Abbrechen</dt>
<dd>Schließt das Menü, ohne etwas zu tun. Dasselbe erreichen Sie mit
<kbd>Esc</kbd> oder einem Klick neben das Menü.</dd>
</dl>

<h2 id="autostart">Autostart</h2>
<p>Wählen Sie „Autostart“, damit Velumor bei jeder Anmeldung an Windows von
selbst startet. Das Menü öffnet sich danach gleich noch einmal und zeigt den
neuen Zustand mit dem Häkchen. Ein weiterer Klick auf „Autostart“ schaltet den
automatischen Start wieder aus.</p>
<p>Velumor trägt sich dazu in die Autostart-Liste Ihres Benutzerkontos in der
Registrierung ein (unter
<code>HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run</code>,
Eintrag „Velumor“). Das gilt nur für Ihr eigenes Benutzerkonto und braucht
keine Administratorrechte.</p>
<ul>
<li>Liegt im Autostart-Ordner Ihres Startmenüs noch eine Verknüpfung
„Velumor.lnk“, entfernt Velumor sie beim Start und übernimmt den
automatischen Start in den Eintrag der Registrierung. „Autostart“ ist danach
mit einem Häkchen versehen.</li>
<li>Haben Sie Velumor in einen anderen Ordner verschoben, schalten Sie
„Autostart“ einmal aus und wieder ein. Dann zeigt der Eintrag auf den neuen
Ort.</li>
<li>Auch beim automatischen Start erscheint der Start-Hinweis, solange Sie ihn
nicht ausgeblendet haben.</li>
</ul>

<h2>Nur einmal gestartet</h2>
<p>Velumor läuft immer nur einmal. Starten Sie es ein zweites Mal, meldet es
„Velumor wird bereits ausgeführt.“; das schon laufende Velumor arbeitet
ungestört weiter.</p>
""")


page("hinweise.htm", "Die Hinweisfenster", "Die Hinweisfenster", """
<p>Zwei kleine Fenster erklären Ihnen, was als Nächstes zu tun ist:</p>
<dl>
<dt>Der Start-Hinweis</dt>
<dd>erscheint nach dem Start: „Velumor wurde gestartet und in der Taskleiste
neben der Windowsuhr verankert. Markieren und kopieren Sie den zu kodierenden
Text in die Zwischenablage und klicken Sie mit der linken Maustaste auf das
Velumor-Icon ...“</dd>
<dt>Der Ergebnis-Hinweis</dt>
<dd>erscheint nach jeder Kodierung: „Der Text in der Zwischenablage wurde
kodiert und kann nun wiederum über die Zwischenablage in Ihren HTML-Editor
eingefügt werden. Benützen Sie hierzu die Tastenkombination Strg-V oder
Umsch-Einfg.“</dd>
</dl>

<h2>Einen Hinweis ausblenden</h2>
<p>Kennen Sie den Ablauf, setzen Sie im Hinweisfenster das Häkchen bei
„Diesen Hinweis in Zukunft nicht mehr anzeigen“ und klicken Sie auf „OK“.
Dieser Hinweis erscheint dann nicht mehr; der andere bleibt davon
unberührt.</p>
<p>Schließen Sie das Fenster dagegen mit dem Schließfeld (×) in der
Titelzeile, wird Ihre Wahl nicht gespeichert, auch wenn das Häkchen gesetzt
ist.</p>

<h2 id="zurueck">Einen Hinweis zurückholen</h2>
<p>Ein ausgeblendeter Hinweis gilt nur für die Version von Velumor, mit der Sie
ihn ausgeblendet haben (zurzeit """ + VERSION + """). Mit einer neuen Version
erscheint er wieder, bis Sie ihn erneut ausblenden.</p>
<p>Möchten Sie ihn schon vorher zurückhaben, löschen Sie die gespeicherte Wahl
in der Registrierung:</p>
<ol class="steps">
<li>Drücken Sie <kbd>Windows-R</kbd>, geben Sie <kbd>regedit</kbd> ein und
bestätigen Sie mit „OK“.</li>
<li>Öffnen Sie links den Schlüssel
<code>HKEY_CURRENT_USER\\Software\\Norvane Software\\Velumor</code>.</li>
<li>Löschen Sie rechts den Wert <code>_SID1</code> für den Start-Hinweis oder
<code>_SID2</code> für den Ergebnis-Hinweis (rechte Maustaste,
„Löschen“).</li>
</ol>
<p>Der Start-Hinweis erscheint dann beim nächsten Start von Velumor wieder, der
Ergebnis-Hinweis nach der nächsten Kodierung.</p>
<p class="note">Gehen Sie in der Registrierung mit Bedacht vor und löschen Sie nur
diese beiden Werte.</p>
""")


page("grenzen.htm", "Grenzen und Tipps", "Grenzen und Tipps", """
<h2>Nur Text</h2>
<p>Velumor verarbeitet ausschließlich Text. Bilder, Dateien oder Formatierungen
(fett, Farben, Tabellen aus einer Textverarbeitung) übernimmt es nicht; aus
formatiertem Inhalt wird nur der reine Text kodiert. Steht gar kein Text in
der Zwischenablage, meldet Velumor das und lässt sie unverändert.</p>

<h2>Der Block schreibt HTML</h2>
<p>Was der Block in die Seite schreibt, liest der Browser als HTML. Das hat zwei
Seiten:</p>
<ul>
<li>Sie können ganze HTML-Abschnitte schützen. Kodieren Sie zum Beispiel
<code>&lt;a href="mailto:info@example.com"&gt;info@example.com&lt;/a&gt;</code>,
erhalten Sie einen geschützten, anklickbaren E-Mail-Link.</li>
<li>Die Zeichen <code>&lt;</code> und <code>&amp;</code> in Ihrem Text wirken als
HTML. Soll ein solches Zeichen sichtbar erscheinen, schreiben Sie vor dem
Kodieren <code>&amp;lt;</code> für <code>&lt;</code> und <code>&amp;amp;</code>
für <code>&amp;</code>.</li>
<li>Zeilenumbrüche in Ihrem Text zeigt der Browser wie Leerzeichen. Für einen
sichtbaren Umbruch schreiben Sie <code>&lt;br&gt;</code> oder setzen Absätze
mit <code>&lt;p&gt;</code>.</li>
</ul>

<h2>Sonderzeichen</h2>
<p>Umlaute, ß und die übrigen Zeichen westeuropäischer Sprachen (Latin-1)
gehen unmittelbar in den Block. Zeichen außerhalb davon – etwa €, typografische
Anführungszeichen „ “, der Gedankenstrich –, polnische oder kyrillische
Buchstaben und Emoji – schreibt Velumor als HTML-Zeichenreferenz in den Block,
zum Beispiel <code>&amp;#8364;</code> für €. Der Browser zeigt sie richtig
an.</p>

<h2>Auch Suchmaschinen lesen nichts</h2>
<p>Suchmaschinen werten vor allem den Quelltext aus, genau wie Adresssammler.
Rechnen Sie deshalb damit, dass sie den geschützten Text nicht lesen können.
Kodieren Sie also nur, was verborgen bleiben soll – etwa Adressen –, und nicht
den Text, unter dem Ihre Seite gefunden werden soll.</p>

<h2>Weitere Hinweise</h2>
<ul>
<li>Besucher, die JavaScript abgeschaltet haben, sehen statt Ihres Textes die
Zeile „*** Bitte aktivieren Sie JavaScript in Ihrem Browser ***“ (siehe
<a href="schutz.htm#javascript">So wirkt der Schutz</a>).</li>
<li>Der Block schreibt den Text beim Laden der Seite an seine Stelle. Fügt eine
Seite Inhalte erst nachträglich per Skript ein, wird ein Block darin unter
Umständen nicht ausgeführt. Setzen Sie ihn deshalb in den normalen
HTML-Quelltext der Seite.</li>
<li>Der Block ist etwa doppelt so lang wie Ihr Text, dazu kommen rund 300
Zeichen für das Skript. Lange Texte brauchen entsprechend etwas Zeit; den
Fortschritt zeigt die schmale Leiste, und Sie können jederzeit
<a href="kodieren.htm#abbrechen">abbrechen</a>.</li>
<li>Der Schutz richtet sich gegen Programme, die den Quelltext lesen. Wer Ihre
Seite im Browser betrachtet, sieht den Text.</li>
</ul>
""")


page("info.htm", "Über Velumor", "Über Velumor", """
<p class="lead"><img src="velumor.png" width="32" height="32" alt="" class="icon">
<strong>Velumor """ + VERSION + """</strong> – Sichert Ihre Webseiten gegen
Adress- und Code-Diebe.</p>
<p>Velumor verwandelt Text aus der Zwischenablage in einen Skriptblock, den der
Browser Ihrer Besucher wieder lesbar macht, während der Quelltext der Seite nur
Trägerbuchstaben enthält.</p>

<h2>Hersteller</h2>
<address>
""" + MAKER + """<br>
Web: <a href="https://""" + MAKER_HOST + """/">""" + MAKER_HOST + """</a><br>
E-Mail: <a href="mailto:""" + MAKER_MAIL + """">""" + MAKER_MAIL + """</a>
</address>
<p>Nach einer neueren Version suchen Sie am einfachsten im Fenster „Info über
Velumor“ (Menü „Info“) mit der Schaltfläche „Auf Norvane nach neuer Version
dieser Software suchen“. Dort können Sie Norvane auch direkt eine E-Mail schreiben;
Velumor trägt Ihre Programm- und Windows-Version schon in den Betreff ein.</p>
""")


# --------------------------------------------------------------------------
# Layout

CSS = """\
/* Velumor-Hilfe */
html { background: #eef3f9; }
body {
  margin: 0;
  font-family: "Segoe UI", Tahoma, Verdana, Arial, sans-serif;
  font-size: 100%;
  line-height: 1.5;
  color: #1d2633;
}
header {
  background: #163f73;
  background: linear-gradient(#1e5294, #123766);
  color: #fff;
  padding: 0.7em 1.5em;
}
header p { margin: 0; font-size: 1.25em; font-weight: bold; letter-spacing: 0.02em; }
header p span { font-weight: normal; opacity: 0.8; font-size: 0.8em; margin-left: 0.5em; }
.wrap { display: flex; align-items: flex-start; max-width: 64em; margin: 0 auto; }
nav {
  flex: 0 0 14em;
  margin: 1.5em 0 1.5em 1em;
  background: #fff;
  border: 1px solid #c9d6e6;
  border-radius: 6px;
}
nav ul { list-style: none; margin: 0; padding: 0.4em 0; }
nav a {
  display: block;
  padding: 0.35em 1em;
  color: #1e5294;
  text-decoration: none;
}
nav a:hover, nav a:focus { background: #e4edf8; text-decoration: underline; }
nav a[aria-current="page"] {
  background: #1e5294;
  color: #fff;
  font-weight: bold;
}
main {
  flex: 1 1 auto;
  min-width: 0;
  margin: 1.5em 1em;
  padding: 0.5em 2em 1.5em;
  background: #fff;
  border: 1px solid #c9d6e6;
  border-radius: 6px;
}
h1 { color: #123766; font-size: 1.7em; margin: 0.6em 0 0.5em; }
h2 { color: #1e5294; font-size: 1.2em; margin: 1.4em 0 0.4em; }
a { color: #1e5294; }
.lead { font-size: 1.08em; }
.icon { float: left; margin: 0.2em 0.8em 0.3em 0; }
ol.steps li, ul li { margin-bottom: 0.4em; }
dt { font-weight: bold; margin-top: 0.7em; }
dd { margin: 0.2em 0 0 1.5em; }
dl.menu dt { color: #123766; }
kbd {
  font-family: inherit;
  font-size: 0.9em;
  white-space: nowrap;
  padding: 0.05em 0.4em;
  border: 1px solid #9aa6b5;
  border-bottom-width: 2px;
  border-radius: 4px;
  background: #f6f7fa;
}
code, samp, pre { font-family: Consolas, "DejaVu Sans Mono", "Courier New", monospace; font-size: 0.92em; }
pre {
  background: #f4f6f9;
  border: 1px solid #d5dde8;
  border-radius: 4px;
  padding: 0.7em 1em;
  white-space: pre-wrap;
  word-break: break-all;
}
pre.sample { font-weight: bold; }
mark { background: #fff2a8; }
.noscript-sample { font-weight: bold; }
.note {
  background: #fff8e1;
  border-left: 4px solid #e8a020;
  padding: 0.5em 0.9em;
}
address { font-style: normal; }
footer {
  max-width: 64em;
  margin: 0 auto 1.5em;
  padding: 0 1em;
  color: #5a6779;
  font-size: 0.85em;
  text-align: center;
}
@media (max-width: 40em) {
  .wrap { display: block; }
  nav { margin: 1em; }
  main { margin: 1em; padding: 0.5em 1em 1em; }
}
"""

TEMPLATE = """\
<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<link rel="stylesheet" href="hilfe.css">
</head>
<body>
<header>
<p>Velumor<span>Hilfe</span></p>
</header>
<div class="wrap">
<nav aria-label="Inhalt der Hilfe">
<ul>
{nav}
</ul>
</nav>
<main>
<h1>{heading}</h1>
{body}
</main>
</div>
<footer>
<p>Velumor {version} · {maker}</p>
</footer>
</body>
</html>
"""


def render(current):
    name, _nav, heading, body = current
    items = []
    for other in PAGES:
        mark = ' aria-current="page"' if other[0] == name else ""
        items.append('<li><a href="{}"{}>{}</a></li>'.format(other[0], mark, other[1]))
    title = heading if name == "index.htm" else heading + " – Velumor-Hilfe"
    return TEMPLATE.format(
        title=title,
        nav="\n".join(items),
        heading=heading,
        body=body,
        version=VERSION,
        maker=MAKER,
    )


def write_text(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as fh:
        fh.write(text)


def make_icon_png():
    import artlib

    # Twice the 32 pixels the pages show it at (width and height in the
    # <img>): sharp on screens at 200 %.
    artlib.draw_mark(64).save(os.path.join(OUT, "velumor.png"), optimize=True)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    write_text(os.path.join(OUT, "hilfe.css"), CSS)
    for p in PAGES:
        write_text(os.path.join(OUT, p[0]), render(p))
    make_icon_png()
