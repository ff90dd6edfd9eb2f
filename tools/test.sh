#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native unit tests, the Windows build's tests under Wine (on a private Xvfb
# display), and a short fuzzing run. Exits non-zero when any test fails.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$czasomir_root" || exit 1

ensure_packages cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev \
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine fonts-liberation xvfb clang libclang-rt-14-dev imagemagick librsvg2-bin icoutils libfaketime \
  wixl msitools osslsigncode openssl || exit 1

jobs=$(nproc)
failed=()
trap 'wine_down' EXIT
trap 'exit 130' INT TERM

step() { echo; echo "=== $*"; }
run() { "$@" || { failed+=("$*"); return 1; }; }

step "Linux build and unit tests"
if run cmake --preset linux >/dev/null && run cmake --build --preset linux -j "$jobs"; then
  run ctest --preset linux -j "$jobs"
fi

step "Windows build (mingw-w64) and its tests under Wine"
if run cmake --preset windows >/dev/null && run cmake --build --preset windows -j "$jobs"; then
  xvfb_up && wine_up "$czasomir_root/build/windows/wineprefix"
  run ctest --preset windows -j "$jobs"
  for shot in build/windows/screenshots/*.bmp; do [ -f "$shot" ] && convert "$shot" -alpha off "${shot%.bmp}.png"; done
  wine_down
fi

step "Fuzzing the time file reader (a few seconds)"
if run cmake --preset fuzz >/dev/null && run cmake --build --preset fuzz -j "$jobs"; then
  for f in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    # The corpus grows in build/; the inputs in tests/fuzz/seeds/ start every run.
    corpus="build/fuzz/corpus/$(basename "$f")"; seeds="tests/fuzz/seeds/$(basename "$f")"; mkdir -p "$corpus"
    run "$f" -max_total_time="${CZASOMIR_FUZZ_SECONDS:-10}" -print_final_stats=0 "$corpus" $([ -d "$seeds" ] && echo "$seeds") 2>"$corpus.log" \
      || tail -n 40 "$corpus.log"
  done
fi

echo
if [ ${#failed[@]} -eq 0 ]; then
  echo "All builds and tests passed."
  exit 0
fi
echo "FAILED:"; printf '  %s\n' "${failed[@]}"
exit 1
