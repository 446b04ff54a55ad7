#!/bin/sh
# The speed figures: encoder throughput natively, and under Wine the time
# from a left click on the icon to the block on the clipboard.
set -eu
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target encoder_bench
build/native/bin/encoder_bench
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velumor_click_bench
sh tools/wine-init.sh
. tools/wine-env.sh
wine build/win32/bin/velumor_click_bench.exe
