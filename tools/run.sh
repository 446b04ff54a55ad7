#!/bin/sh
# Builds the release program (i686) and starts it from build/win32/dist under
# Wine on the current display. Without a display there is nothing to click:
# then the command-line encoder shows what Velumor does.
set -eu
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "Kein X-Display gefunden: Velumor lebt im Infobereich der Taskleiste und braucht eine Anzeige."
  echo "Ohne Anzeige kodiert das Kommandozeilenwerkzeug build/native/bin/velumor-encode, zum Beispiel:"
  cmake --preset native >/dev/null
  cmake --build --preset native --target velumor-encode >/dev/null
  sample='<a href="mailto:info@example.com">Schreiben Sie uns!</a>'
  echo
  echo "  build/native/bin/velumor-encode '$sample'"
  echo
  build/native/bin/velumor-encode "$sample"
  exit 0
fi

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velumor
sh tools/wine-init.sh
. tools/wine-env.sh
echo "Velumor startet; das Symbol erscheint im Infobereich (unter Wine ohne Taskleiste im Fenster \"Wine System Tray\")."
echo "Text kopieren, links auf das Symbol klicken, Ergebnis einfügen; rechts klicken für das Menü."
exec wine build/win32/dist/velumor.exe
