#!/bin/sh
# Runs a Windows program that crashes on purpose through wine-run and checks
# that the crash is named as PATTERN says. Prints only the verdict, so that
# a test log holds no crash report unless a crash went unnoticed.
# Usage: expect-crash.sh PATTERN PROGRAM [ARGUMENT ...]
pattern=$1
shift
out=$(sh "$(dirname "$0")/wine-run" "$@" 2>&1)
if printf '%s\n' "$out" | grep -q -E "$pattern"; then
  echo "Der absichtliche Absturz von $(basename "$1") wurde gemeldet."
  exit 0
fi
printf '%s\n' "$out"
echo "Der absichtliche Absturz von $(basename "$1") wurde nicht gemeldet." >&2
exit 1
