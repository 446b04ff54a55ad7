#!/bin/sh
# Builds the fuzz targets of tests/fuzz (preset fuzz) and runs each for a set
# time, then says per target how long it ran and what it found. Inputs that
# fail a check go to build/fuzz/findings/<target>/.
#
#   sh tools/fuzz.sh                 each target FUZZ_SECONDS long (300 unless set),
#                                    going on after a finding; what it learns stays
#                                    in build/fuzz/corpus/<target>/ for the next run
#   sh tools/fuzz.sh --check         for the tests: the seed corpora replayed, then each
#                                    target FUZZ_SECONDS long (15 unless set) from them,
#                                    stopping at the first finding; non-zero on any
#   sh tools/fuzz.sh [--check] TARGET ...   only these targets
#
# FUZZ_PRESET names the build (fuzz unless set); the asan build has the
# targets too, which spares make test a build.
set -eu
cd "$(dirname "$0")/.."

check=0
if [ "${1:-}" = --check ]; then
  check=1
  shift
fi
targets=${*:-stream_encoder utf8 carrier_kernels decode rewrite data_form}
if [ "$check" = 1 ]; then seconds=${FUZZ_SECONDS:-15}; else seconds=${FUZZ_SECONDS:-300}; fi

preset=${FUZZ_PRESET:-fuzz}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null || cmake --build --preset "$preset"

findings=build/fuzz/findings
status=0
summary=""
for target in $targets; do
  program=build/$preset/bin/${target}_fuzzer
  seeds=tests/fuzz/corpus/$target
  mkdir -p "$findings/$target"
  # make fuzz and make test may run side by side: each mode its own log.
  if [ "$check" = 1 ]; then log=$findings/$target.check.log; else log=$findings/$target.log; fi
  set -- -timeout=30 -rss_limit_mb=4096 -artifact_prefix="$findings/$target/"
  [ -f "tests/fuzz/$target.dict" ] && set -- "$@" -dict="tests/fuzz/$target.dict"
  before=$(mktemp)
  ls "$findings/$target" >"$before"
  started=$(date +%s)
  if [ "$check" = 1 ]; then
    # The seeds first, each must pass; then fuzzing from them in a corpus of
    # this run's own, so each run starts alike.
    work=build/$preset/fuzz-check-corpus/$target
    rm -rf "$work"
    mkdir -p "$work"
    if "$program" "$@" -runs=0 "$seeds" >"$log" 2>&1 &&
      "$program" "$@" -max_total_time="$seconds" "$work" "$seeds" >>"$log" 2>&1; then
      ok=1
    else
      ok=0
    fi
  else
    work=build/fuzz/corpus/$target
    mkdir -p "$work"
    # One child at a time that is restarted after a finding, so one run
    # reports more than the first fault.
    if "$program" "$@" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" \
      "$work" "$seeds" >"$log" 2>&1; then
      ok=1
    else
      ok=0
    fi
  fi
  took=$(($(date +%s) - started))
  new_findings=$(ls "$findings/$target" | grep -v -x -F -f "$before" || true)
  rm -f "$before"
  found=$(printf '%s' "$new_findings" | grep -c . || true)
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p; s/^#\([0-9]*\).*exec\/s.*/\1/p' "$log" | tail -n 1)
  if [ "$found" -gt 0 ] || [ "$ok" = 0 ]; then
    status=1
    line="$target: ${took} s, ${runs:-?} Läufe, $found Fund(e) in $findings/$target/"
    echo "== $line"
    # What failed, each kind once with how often: every new finding run once more.
    for finding in $new_findings; do
      "$program" "$findings/$target/$finding" 2>&1 | grep -m 1 -E '^fuzz check failed|^SUMMARY: ' || echo "(ohne Meldung)"
    done | sort | uniq -c | sort -rn
    [ "$found" -gt 0 ] || tail -n 20 "$log"
  else
    line="$target: ${took} s, ${runs:-?} Läufe, nichts gefunden"
    echo "== $line"
  fi
  summary="$summary$line
"
done

echo
echo "Fuzzing:"
printf '%s' "$summary"
exit "$status"
