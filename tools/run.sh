#!/bin/sh
# Builds the release program and starts it from its dist folder under Wine on
# the current display: the i686 build, or the x86_64 build where this machine
# cannot run 32-bit programs. Without a display there is nothing to click:
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

. tools/wine-env.sh
preset=$VELUMOR_WIN_PRESET
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target velumor
sh tools/wine-init.sh
if [ "$preset" = win64 ]; then
  build="64-Bit-Programm aus build/win64/dist, denn dieser Rechner führt keine 32-Bit-Programme aus${VELUMOR_ONLY_64:+ (VELUMOR_ONLY_64=1)}"
else
  build="32-Bit-Programm aus build/win32/dist"
fi
echo "Velumor startet ($build); das Symbol erscheint im Infobereich (unter Wine ohne Taskleiste im Fenster \"Wine System Tray\")."
echo "Text kopieren, links auf das Symbol klicken, Ergebnis einfügen; rechts klicken für das Menü."
exec "$VELUMOR_WINE" "build/$preset/dist/velumor.exe"
