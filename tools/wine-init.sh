#!/bin/sh
# Creates the project's Wine prefix once; later calls return at once.
set -eu
. "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Lege die Wine-Umgebung an: $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
