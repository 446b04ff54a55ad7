#!/bin/sh
# Every test: configure and build all three presets, then run the native
# tests, the browser test and the Windows tests under Wine.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh

status=0
for preset in native win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

sh tools/wine-init.sh
for preset in native win32 win64; do
  echo "== Tests: $preset"
  ctest --preset "$preset" || status=1
done

if [ "$status" = 0 ]; then echo "Alle Tests bestanden."; else echo "Es sind Tests fehlgeschlagen." >&2; fi
exit "$status"
