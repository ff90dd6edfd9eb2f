#!/usr/bin/env bash
# The whole program against the bare window, with and without the themed
# common controls, under Wine on a private display: the file's size, start-up
# time, CPU time counting shown / minimised / in the tray, memory.
# Figures are ratios within this one run; nothing here passes or fails.
#   bench/run.sh [build dir, default build/windows]
#   SECONDS_PER_PHASE (default 30) and RUNS (default 10) change the run.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$czasomir_root"
build=${1:-build/windows}
toolchain="$czasomir_root/tools/cmake/mingw-w64-x86_64.cmake"

[ -f "$build/CMakeCache.txt" ] ||
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j 2 --target Czasomir
# Built with the Windows build when it takes this folder in; else on its own.
# (grep reads the whole list: with -q it would stop early and break the pipe.)
if cmake --build "$build" --target help | grep -c '\bruntime_bench\b' >/dev/null; then
  cmake --build "$build" -j 2 --target runtime_bench minimal_window minimal_window_cc6
  bench_dir="$build/bench/runtime"
else
  bench_dir="$build/bench-runtime"
  cmake -S bench/runtime -B "$bench_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$bench_dir" -j 2
fi

trap 'wine_down; rm -rf "${work:-}"' EXIT
xvfb_up && wine_up "$czasomir_root/$build/wineprefix"
work=$(mktemp -d)
mkdir "$work/app" "$work/minimal"
cp "$build/app/Czasomir.exe" "$work/app/"
cp "$bench_dir/minimal_window.exe" "$bench_dir/minimal_window_cc6.exe" "$work/minimal/"
# Output to a file, never a pipe: Wine's programs would keep it open.
wine "$bench_dir/runtime_bench.exe" "Z:$work/app/Czasomir.exe" "Z:$work/minimal/minimal_window.exe" \
  "${SECONDS_PER_PHASE:-30}" "${RUNS:-10}" >"$work/report.txt" 2>&1 || true
cat "$work/report.txt"
