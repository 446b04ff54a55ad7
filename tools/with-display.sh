#!/bin/sh
# Runs a command with an X display: the current one, or a private Xvfb that
# is stopped again when the command ends. Its size is a laptop's at 200 %,
# so that the forms fit it at every scale the tests try.
set -eu
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb fehlt: zuerst tools/install-deps.sh ausführen (make test tut das)." >&2
  exit 1
fi
# Xvfb picks a free display number itself and writes it to the file, so
# runs side by side never meet on one display.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$number_file"' EXIT INT TERM
for _ in $(seq 100); do
  [ -s "$number_file" ] && DISPLAY=":$(cat "$number_file")" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
if [ ! -s "$number_file" ] || ! DISPLAY=":$(cat "$number_file")" xdpyinfo >/dev/null 2>&1; then
  echo "Xvfb antwortet nach 10 s nicht." >&2
  exit 1
fi
DISPLAY=":$(cat "$number_file")"
export DISPLAY
"$@"
