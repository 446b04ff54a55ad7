#!/bin/sh
# Creates the Wine prefix of the chosen loader once; later calls return at once.
set -eu
. "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Lege die Wine-Umgebung an: $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$VELUMOR_WINE" wineboot --init >/dev/null 2>&1
  "$VELUMOR_WINESERVER" -w
fi
