#!/bin/sh
# Turns Wine's crash debugger off in the prefix $WINEPREFIX, so that a Windows
# program that crashes ends at once with a non-zero exit code instead of
# waiting for winedbg and its dialog. Cheap when it is off already: the
# registry files are read, Wine is not started.
#
# On an unhandled exception Wine prints "wine: <fault>, starting debugger..."
# and runs the AeDebug value "Debugger" (winedbg when it is missing), asking
# first when "Auto" is 0. An empty "Debugger" cannot be started, and Wine
# then ends the program with the exception's code. 32-bit programs read the
# key from the WOW64 view, so both views get it. ShowCrashDialog=0 keeps
# winedbg without a dialog should someone start it all the same.
set -eu
. "$(dirname "$0")/wine-env.sh"

# The lines of one key in a registry file, as Wine writes it (backslashes doubled).
key_lines() {
  key="[$2]" awk 'index($0, ENVIRON["key"]) == 1 { on = 1; next } /^\[/ { on = 0 } on' "$1" 2>/dev/null
}

aedebug='Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug'
off() {
  for view in "$aedebug" 'Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug'; do
    lines=$(key_lines "$WINEPREFIX/system.reg" "$view")
    printf '%s\n' "$lines" | grep -qx '"Debugger"=""' || return 1
    printf '%s\n' "$lines" | grep -qx '"Auto"="1"' || return 1
  done
  key_lines "$WINEPREFIX/user.reg" 'Software\\Wine\\WineDbg' | grep -qx '"ShowCrashDialog"=dword:00000000'
}

# Wine writes its registry files some seconds after a change: until then the
# marker of the last change made here stands in for them.
marker="$WINEPREFIX/.velumor-no-debugger"
if off || [ -n "$(find "$marker" -newer "$WINEPREFIX/system.reg" -newer "$WINEPREFIX/user.reg" 2>/dev/null)" ]; then
  exit 0
fi

settings=$(mktemp "${TMPDIR:-/tmp}/velumor-no-debugger.XXXXXX")
trap 'rm -f "$settings"' EXIT
cat >"$settings" <<'EOF'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="1"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
# Wine's drive Z: is the Linux root.
for view in 64 32; do
  if ! timeout 120 "$VELUMOR_WINE" reg import "Z:$(printf '%s' "$settings" | tr / '\\')" "/reg:$view" >/dev/null 2>&1; then
    echo "Der Absturz-Debugger von Wine ließ sich in $WINEPREFIX nicht abschalten (reg import /reg:$view)." >&2
    exit 1
  fi
done
touch "$marker"
