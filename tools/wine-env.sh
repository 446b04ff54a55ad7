# Sourced by every script that runs Windows programs: it decides, once per
# run, which Wine loader, prefix and Windows build this machine can use, and
# exports the choice so that CTest's emulator, the end-to-end driver and the
# benchmark all follow it.
#
# Some hosts of our kind run a kernel that cannot execute 32-bit programs at
# all: there Debian's `wine` (an i386 loader) and everything started through it
# fail with "Exec format error", and only /usr/lib/wine/wine64 with a 64-bit
# prefix and the win64 build can run. VELUMOR_ONLY_64=1 takes that path on any
# machine, so whoever changes these scripts can exercise it.
VELUMOR_ROOT=${VELUMOR_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
# Sourced from `sh -c` in the checkout, $0 is the shell, not a script in tools/.
[ -f "$VELUMOR_ROOT/tools/wine-env.sh" ] || VELUMOR_ROOT=$(pwd)

# A 93-byte static i386 program that exits with 42: the kernel either runs
# it or refuses it, whatever packages are installed.
velumor_can_run_32bit() {
  probe="$VELUMOR_ROOT/build/.probe-i386"
  mkdir -p "$VELUMOR_ROOT/build"
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000' >"$probe"
  printf '\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\061\333\263\052\061\300\100\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  [ $? = 42 ]
}

if [ -z "${VELUMOR_WIN_PRESET:-}" ]; then
  if [ "${VELUMOR_ONLY_64:-0}" != 1 ] && velumor_can_run_32bit; then
    VELUMOR_WIN_PRESET=win32
    VELUMOR_WINE=wine
    VELUMOR_WINESERVER=wineserver
    VELUMOR_PREFIX_NAME=wineprefix
  else
    VELUMOR_WIN_PRESET=win64
    VELUMOR_WINE=/usr/lib/wine/wine64
    VELUMOR_WINESERVER=/usr/lib/wine/wineserver64
    VELUMOR_PREFIX_NAME=wineprefix64
    # Programs that Wine starts on its own (wineboot, explorer) use this loader too.
    export WINELOADER=$VELUMOR_WINE
  fi
  export VELUMOR_ROOT VELUMOR_WIN_PRESET VELUMOR_WINE VELUMOR_WINESERVER
  export WINEPREFIX="${WINEPREFIX:-$VELUMOR_ROOT/build/$VELUMOR_PREFIX_NAME}"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
