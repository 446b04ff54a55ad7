#!/bin/sh
# Every test: configure and build all three presets, then run the native
# tests, the browser tests and the Windows tests under Wine. Where this
# machine cannot run 32-bit programs the i686 build is built but not run.
set -eu
cd "$(dirname "$0")/.."
. tools/wine-env.sh

for preset in native win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

sh tools/wine-init.sh
logs=build/test-logs
mkdir -p "$logs"
status=0
passed=0
failed=0
for preset in native win32 win64; do
  if [ "$preset" = win32 ] && [ "$VELUMOR_WIN_PRESET" != win32 ]; then
    echo "== Tests: win32 nicht ausgeführt: die i686-Programme sind gebaut, aber dieser Rechner führt keine 32-Bit-Programme aus${VELUMOR_ONLY_64:+ (VELUMOR_ONLY_64=1)}."
    continue
  fi
  echo "== Tests: $preset"
  { ctest --preset "$preset" || echo failed >"$logs/$preset.status"; } 2>&1 | tee "$logs/$preset.log"
  # CTest closes with "N% tests passed, F tests failed out of T".
  counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$logs/$preset.log" | tail -n 1)
  if [ -z "$counts" ] || [ -f "$logs/$preset.status" ]; then status=1; fi
  rm -f "$logs/$preset.status"
  set -- ${counts:-1 1}
  failed=$((failed + $1))
  passed=$((passed + $2 - $1))
done

if [ "$status" = 0 ]; then echo "Alle Tests bestanden."; else echo "Es sind Tests fehlgeschlagen." >&2; fi
echo "$passed passed, $failed failed"
exit "$status"
