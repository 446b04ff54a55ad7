#!/bin/sh
# The speed figures: encoder throughput natively, velumor-encode against
# base64 from outside, and under Wine the time from a left click on the icon
# to the block on the clipboard; and what harvesters get from each form.
set -eu
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target encoder_bench velumor-encode
build/native/bin/encoder_bench
python3 bench/cli_bench.py build/native/bin/velumor-encode --sizes 1,64
python3 bench/rewrite_bench.py build/native/bin/velumor-encode
# Peak memory of one 50 MB page and of a folder of 20,000 pages.
python3 bench/rewrite_memory.py build/native/bin/velumor-encode
# What an address harvester gets from each form: the source, the loaded
# document in Chromium, the document after a scripted person in Firefox.
python3 bench/harvest_bench.py build/native/bin/velumor-encode
. tools/wine-env.sh
cmake --preset "$VELUMOR_WIN_PRESET" >/dev/null
cmake --build --preset "$VELUMOR_WIN_PRESET" --target velumor_click_bench
sh tools/wine-init.sh
# Without a window manager Wine waits two seconds for every window it hides.
if command -v openbox >/dev/null 2>&1 && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
  openbox >/dev/null 2>&1 &
  trap 'kill $! 2>/dev/null || true' EXIT
  sleep 1
fi
"$VELUMOR_WINE" "build/$VELUMOR_WIN_PRESET/bin/velumor_click_bench.exe"
