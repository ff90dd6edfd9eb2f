#!/usr/bin/env bash
# Plants the faults of a list (tools/faults.txt by default) in the shipped code,
# one at a time, and runs the test command's stages against each, stopping at
# the first failure: Linux build and unit tests, Windows build and its tests
# under Wine, the tray screenshot script (if the tree has one), the fuzzing run. A fault is caught
# when any stage fails (a build failure included). The file is restored after
# each fault, also when the script is interrupted. Not part of tools/test.sh.
#
# Only the stages a fault can change run: a fault in the Windows backend
# (*_win.*, app/) cannot change the Linux or fuzzing builds, and only core/ and
# storage/ reach the fuzzer. Xvfb and the wineserver stay up for the whole run.
#
#   bash tools/plant-faults.sh [faults file] [first-last]   (e.g. 1-5: a range of faults)
#   bash tools/plant-faults.sh --random N SEED
#
# Prints, for each fault, "caught", "MISSED" or "not applicable" (its original
# text is not in the file: the code changed), then "N caught of M".
#
# --random draws N faults instead (tools/random-faults.py: the same N and SEED
# on the same tree draw the same faults) over every line of shipped code, each
# a changed comparison, boolean, arithmetic operator or constant, or a deleted
# call, and prints the survivors with their line and both texts.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$czasomir_root" || exit 1
log_dir=build/faults
mkdir -p "$log_dir"
if [ "${1:-}" = --random ]; then
  list=$log_dir/random-$3.txt range=""
  python3 tools/random-faults.py "$2" "$3" >"$list" || exit 1
else
  list=$(realpath "${1:-tools/faults.txt}") range=${2:-}
fi
jobs=$(nproc)
# Regular expressions of ctest names: the Windows tests run first, and those run after every other.
first_tests=${CZASOMIR_FIRST_TESTS:-'^e2e\.Dpi/Look\.'} slow_tests=${CZASOMIR_SLOW_TESTS:-'^e2e\.Kill\.'}

trap 'restore; wine_down' EXIT
trap 'exit 130' INT TERM

# Stages of tools/test.sh that a fault in FILE (none: every stage) can change,
# fail-fast; returns non-zero when one fails, naming the stage on stdout.
# Output goes to files, never to a pipe: Wine's processes would keep a pipe open.
stages() {
  local file=${1:-} out="$log_dir/output" windows_only=0 fuzzed=1
  case "$file" in *_win.cpp|*_win.h|app/*) windows_only=1 ;; esac
  case "$file" in ''|core/*|storage/*) ;; *) fuzzed=0 ;; esac
  : >"$out"
  if [ $windows_only -eq 0 ]; then
    cmake --build --preset linux -j "$jobs" >>"$out" 2>&1 || { echo "linux build"; return 1; }
    ctest --preset linux -j "$jobs" --stop-on-failure --timeout 120 >>"$out" 2>&1 || { echo "linux tests: $(failed_tests "$out")"; return 1; }
  fi
  cmake --build --preset windows -j "$jobs" >>"$out" 2>&1 || { echo "windows build"; return 1; }
  # The quick tests that see most first, the slow ones last: a fault caught early costs no more.
  local c="ctest --preset windows -j $jobs --stop-on-failure --timeout 300"  # a fault may make a test loop for ever
  { $c -R "$first_tests" && $c -E "$first_tests|$slow_tests" && $c -R "$slow_tests"; } >>"$out" 2>&1 ||
    { echo "windows tests: $(failed_tests "$out")"; return 1; }
  local shot
  for shot in tests/*/tray_screenshot.sh; do  # where the tree has one
    [ -f "$shot" ] && { "$shot" build/windows >/dev/null 2>&1 || { echo "tray screenshot"; return 1; }; }
  done
  [ $fuzzed -eq 1 ] || return 0
  cmake --build --preset fuzz -j "$jobs" >/dev/null 2>&1 || { echo "fuzz build"; return 1; }
  local f
  for f in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    local seeds="tests/fuzz/seeds/$(basename "$f")" corpus="$log_dir/corpus"  # new inputs go to the first folder
    rm -rf "$corpus"; mkdir -p "$corpus"
    "$f" -max_total_time="${CZASOMIR_FUZZ_SECONDS:-10}" -print_final_stats=0 "$corpus" $([ -d "$seeds" ] && echo "$seeds") >/dev/null 2>&1 ||
      { echo "fuzzing"; return 1; }
  done
  return 0
}

cmake --preset linux >/dev/null && cmake --preset windows >/dev/null && cmake --preset fuzz >/dev/null || exit 1
prefix=$czasomir_root/build/windows/wineprefix
xvfb_up && wine_up "$prefix" || exit 1
# Without a fault everything must pass, or a failure would prove nothing.
if [ -z "${CZASOMIR_SKIP_CLEAN_RUN:-}" ]; then
  stages >"$log_dir/stage" 2>&1 || { echo "The tree fails without a fault: $(cat "$log_dir/stage")"; exit 1; }
  echo "Without a fault: everything passes."
fi
copy_prefix "$prefix" "$prefix.clean" || exit 1  # the prefix every fault starts from

n=0; caught=0; total=0; missed=()
while IFS=$'\t' read -r file original replacement line || [ -n "$file" ]; do
  case "$file" in ''|'#'*) continue ;; esac
  n=$((n + 1))
  if [ -n "$range" ]; then
    [ "$n" -ge "${range%-*}" ] && [ "$n" -le "${range#*-}" ] || continue
  fi
  if ! plant "$file" "$original" "$replacement" $line; then
    echo "#$n not applicable: $file: $original"
    continue
  fi
  total=$((total + 1))
  started=$SECONDS
  stages "$file" >"$log_dir/stage" 2>&1
  result=$?
  stage=$(cat "$log_dir/stage")
  cp "$log_dir/output" "$log_dir/fault-$n.log" 2>/dev/null
  where=$file${line:+:$line}
  if [ -n "$line" ] && [[ $stage == *build ]]; then
    total=$((total - 1))  # a drawn change the compiler rejects is no fault
    echo "#$n does not compile, not counted: $where: $replacement"
  elif [ $result -eq 0 ]; then
    echo "#$n MISSED ($((SECONDS - started)) s): $where: $original"
    missed+=("#$n $where: $original${line:+  ->  $replacement}")
  else
    caught=$((caught + 1))
    echo "#$n caught by the $stage ($((SECONDS - started)) s): $where: $original"
  fi
  [[ $stage == windows\ tests* ]] && copy_prefix "$prefix.clean" "$prefix"
  restore
done <"$list"

echo
echo "$caught caught of $total"
[ ${#missed[@]} -eq 0 ] || { echo "Missed:"; printf '  %s\n' "${missed[@]}"; }
