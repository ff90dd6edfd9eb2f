#!/usr/bin/env bash
# Builds the Windows exe and the baseline (bench/runtime's minimal_window),
# then measures both under Wine on a private display: file size,
# start-to-visible time, CPU time shown and minimised (SECONDS_PER_PHASE each,
# default 30), resident memory.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/common.sh"
cd "$czasomir_root"
build=build/windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target app_bench
trap 'wine_down' EXIT
xvfb_up && wine_up "$czasomir_root/$build/wineprefix"
work=$(mktemp -d)
cp "$build/app/Czasomir.exe" "$build/bench/runtime/minimal_window.exe" "$work/"
wine "$build/bench/app/app_bench.exe" "Z:$work/Czasomir.exe" "Z:$work/minimal_window.exe" \
  "${SECONDS_PER_PHASE:-30}" >"$work/report.txt" 2>&1 || true
cat "$work/report.txt"
rm -rf "$work"
