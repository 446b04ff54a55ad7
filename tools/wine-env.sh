# Sourced by the scripts that run Windows programs: one Wine prefix of the
# project's own under build/, quiet, without the Mono and Gecko installers.
VELUMOR_ROOT=${VELUMOR_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
export WINEPREFIX="${WINEPREFIX:-$VELUMOR_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
