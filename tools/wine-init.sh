#!/bin/sh
# Creates the Wine prefix of the chosen loader once, and sees on every call
# that Wine's crash debugger is off in it (a few milliseconds when it is).
set -eu
. "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Lege die Wine-Umgebung an: $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  if ! timeout 300 "$VELUMOR_WINE" wineboot --init >/dev/null 2>&1; then
    echo "Die Wine-Umgebung $WINEPREFIX ließ sich nicht anlegen (wineboot --init, höchstens 300 s)." >&2
    exit 1
  fi
  # Until Wine's start-up programs have ended, the prefix is not complete.
  if ! timeout 120 "$VELUMOR_WINESERVER" -w; then
    echo "Wine endet nach dem Anlegen von $WINEPREFIX nicht (wineserver -w, höchstens 120 s)." >&2
    exit 1
  fi
fi
sh "$(dirname "$0")/wine-no-debugger.sh"
