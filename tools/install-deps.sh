#!/bin/sh
# Installs what the builds and tests need on a fresh Debian machine (as root).
# Packages already present are left alone, so a second run costs nothing.
# Runs before anything else: the display and Wine come from these packages.
set -eu
cd "$(dirname "$0")/.."
. tools/wine-env.sh

need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for pkg in cmake ninja-build g++ python3 libgtest-dev libbenchmark-dev libgumbo-dev \
           g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xdotool xclip \
           chromium firefox-esr imagemagick openbox x11-utils fonts-dejavu-core nsis clang libclang-rt-14-dev \
           lintian man-db; do
  have_pkg "$pkg" || need="$need $pkg"
done
# npm fetches the HTML5 parser's sources for the Windows builds: Debian's
# package, unless a Node.js that brings an npm of its own (and conflicts with
# Debian's) is installed.
have_pkg npm || command -v npm >/dev/null || need="$need npm"
# Wine's 32-bit half only where this machine can run 32-bit programs.
if [ "$VELUMOR_WIN_PRESET" = win32 ] && ! have_pkg wine32:i386; then
  need="$need wine32:i386"
fi

[ -z "$need" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "Es fehlen Pakete:$need" >&2
  echo "Bitte als root ausführen oder die Pakete selbst installieren." >&2
  exit 1
fi
echo "Installiere:$need"
case "$need" in *:i386*) dpkg --add-architecture i386 ;; esac
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $need
