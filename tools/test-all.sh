#!/bin/sh
# Every test: configure and build all three presets, then run the native
# tests, the browser tests and the Windows tests under Wine. Where this
# machine cannot run 32-bit programs the i686 build is built but not run.
# Then the native tests under AddressSanitizer and UndefinedBehavior-
# Sanitizer, the command-line tests under ThreadSanitizer, and each fuzz
# target for a short while (FUZZ_SECONDS, 15 unless set).
#
# Each stage adds its tests to the closing count; a stage that fails
# without counting them (a build, a sanitizer's report) counts as one failed.
set -eu
cd "$(dirname "$0")/.."
. tools/wine-env.sh

logs=build/test-logs
mkdir -p "$logs"
status=0
passed=0
failed=0

stage_failed() {
  echo "== $1 fehlgeschlagen" >&2
  failed=$((failed + 1))
  status=1
}

# Prints how long a stage took, for whoever keeps an eye on the total.
timed() {
  name=$1
  shift
  started=$(date +%s)
  code=0
  "$@" || code=$?
  echo "== $name: $(($(date +%s) - started)) s"
  return "$code"
}

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

# Runs a test preset and adds CTest's closing "N% tests passed, F tests
# failed out of T" to the count.
run_ctest() {
  preset=$1
  log=$logs/$preset.log
  rm -f "$logs/$preset.status"
  { ctest --preset "$preset" || echo failed >"$logs/$preset.status"; } 2>&1 | tee "$log"
  counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -n 1)
  if [ -z "$counts" ] || [ -f "$logs/$preset.status" ]; then status=1; fi
  rm -f "$logs/$preset.status"
  set -- ${counts:-1 1}
  failed=$((failed + $1))
  passed=$((passed + $2 - $1))
}

built=""
for preset in native win32 win64; do
  if timed "Bau $preset" build "$preset"; then built="$built $preset"; else stage_failed "Bau $preset"; fi
done

sh tools/wine-init.sh
for preset in native win32 win64; do
  if [ "$preset" = win32 ] && [ "$VELUMOR_WIN_PRESET" != win32 ]; then
    echo "== Tests: win32 nicht ausgeführt: die i686-Programme sind gebaut, aber dieser Rechner führt keine 32-Bit-Programme aus${VELUMOR_ONLY_64:+ (VELUMOR_ONLY_64=1)}."
    continue
  fi
  case " $built " in *" $preset "*) ;; *) continue ;; esac
  echo "== Tests: $preset"
  timed "Tests $preset" run_ctest "$preset"
done

# This machine's tests, gtest programs and browser checks, under
# AddressSanitizer and UndefinedBehaviorSanitizer; the first report ends
# the program.
export UBSAN_OPTIONS=print_stacktrace=1 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
echo "== Tests: asan"
if timed "Bau asan" build asan; then
  timed "Tests asan" run_ctest asan
else
  stage_failed "Bau asan"
fi

# The streaming encoder's threads under ThreadSanitizer: a race fails the
# program even where every test passed.
echo "== Tests: tsan (cli_tests)"
if timed "Bau tsan" build tsan; then
  log=$logs/tsan.log
  tsan_code=0
  timed "Tests tsan" build/tsan/bin/cli_tests >"$log" 2>&1 || tsan_code=$?
  tail -n 5 "$log"
  tsan_passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
  tsan_failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -n 1)
  passed=$((passed + ${tsan_passed:-0}))
  failed=$((failed + ${tsan_failed:-0}))
  if [ "$tsan_code" != 0 ]; then
    grep -m 3 -A 12 'WARNING: ThreadSanitizer' "$log" || true
    if [ -z "${tsan_failed:-}" ]; then stage_failed "tsan (Exit-Code $tsan_code, siehe $log)"; else status=1; fi
  fi
else
  stage_failed "Bau tsan"
fi

# Each fuzz target: its seeds replayed, then a short run from them. Each
# target counts as one test.
echo "== Fuzzing (je Ziel ${FUZZ_SECONDS:-15} s)"
fuzz_log=$logs/fuzz.log
{ timed "Fuzzing" env FUZZ_PRESET=asan sh tools/fuzz.sh --check || echo failed >"$logs/fuzz.status"; } 2>&1 |
  tee "$fuzz_log"
# fuzz.sh closes with one line per target: "TARGET: S s, N Läufe, ..."
sed -n '/^Fuzzing:$/,$p' "$fuzz_log" | grep -E '^[a-z0-9_]+: [0-9]+ s, ' >"$logs/fuzz.summary" || true
fuzz_passed=$(grep -c 'nichts gefunden$' "$logs/fuzz.summary" || true)
fuzz_failed=$(grep -v -c 'nichts gefunden$' "$logs/fuzz.summary" || true)
passed=$((passed + fuzz_passed))
failed=$((failed + fuzz_failed))
if [ -f "$logs/fuzz.status" ] || [ "$fuzz_failed" != 0 ]; then
  status=1
  [ "$fuzz_failed" != 0 ] || stage_failed "Fuzzing (siehe $fuzz_log)"
fi
rm -f "$logs/fuzz.status"

if [ "$status" = 0 ]; then echo "Alle Tests bestanden."; else echo "Es sind Tests fehlgeschlagen." >&2; fi
echo "$passed passed, $failed failed"
exit "$status"
