#!/usr/bin/env bash
# Which native unit tests catch which faults: plants each fault of a list in the
# portable code (faults in the Windows backend and app/ are left out: no native
# test can see them) one at a time, runs every native test (not stopping at the
# first failure) and prints a line a fault: its number, file:line, original
# text and the tests that failed ("NONE": none; "BUILD": it does not compile).
# Then, for each test, how many faults it catches and how many of them no other
# native test catches. A test that catches nothing on its own is a candidate to
# merge or drop, after a look at what it checks that no list has a fault for.
# Not part of tools/test.sh.
#
# With --windows, every fault of the lists is planted and the Windows build's
# tests run under Wine instead (every one: a slow run, minutes a fault; the
# wine prefix is put back after each fault that fails one). In both modes a
# test failing without a fault makes the run stop: its catches would prove nothing.
#
#   bash tools/catch-matrix.sh [--windows] [faults file ...]   (tools/faults.txt
#   by default; a list drawn by tools/random-faults.py also serves)
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$czasomir_root" || exit 1
preset=linux
[ "${1:-}" = --windows ] && preset=windows && shift
lists=("$@")
[ ${#lists[@]} -gt 0 ] || lists=(tools/faults.txt)
out=build/faults/matrix-$preset.tsv
mkdir -p build/faults
: >"$out"
cmake --preset $preset >/dev/null && cmake --build --preset $preset -j "$(nproc)" >/dev/null || exit 1
trap 'restore; wine_down' EXIT
trap 'exit 130' INT TERM
run_tests() {  # the names of the tests that fail, or nothing
  ctest --preset $preset -j "$(nproc)" --timeout 300 >build/faults/output 2>&1
  failed_tests build/faults/output
}
if [ $preset = windows ]; then
  prefix=$czasomir_root/build/windows/wineprefix
  xvfb_up && wine_up "$prefix" || exit 1
fi
clean=$(run_tests)
[ -z "$clean" ] || { echo "Without a fault these fail: $clean"; exit 1; }
[ $preset = linux ] || copy_prefix "$prefix" "$prefix.clean" || exit 1

n=0
while IFS=$'\t' read -r file original replacement line || [ -n "$file" ]; do
  case "$file" in ''|'#'*) continue ;; esac
  case "$preset:$file" in linux:*_win.*|linux:app/*) continue ;; esac
  n=$((n + 1))
  plant "$file" "$original" "$replacement" $line || continue
  if ! cmake --build --preset $preset -j "$(nproc)" >build/faults/output 2>&1; then
    failed=BUILD
  else
    failed=$(run_tests)
    [ $preset = windows ] && [ -n "$failed" ] && copy_prefix "$prefix.clean" "$prefix"
  fi
  cp build/faults/output "build/faults/fault-$n.log"
  printf '%s\t%s\t%s\t%s\n' "$n" "$file:${line:-}" "$original" "${failed:-NONE}" | tee -a "$out"
  restore
done < <(cat "${lists[@]}")

echo
python3 - "$out" <<'PY'
import collections, sys
catches, alone = collections.Counter(), collections.Counter()
for row in open(sys.argv[1], encoding="utf-8"):
    tests = row.rstrip("\n").split("\t")[3].split()
    if tests in (["NONE"], ["BUILD"]):
        continue
    for t in tests:
        catches[t] += 1
    if len(tests) == 1:
        alone[tests[0]] += 1
print("alone  all  test")
for t in sorted(catches, key=lambda t: (alone[t], catches[t])):
    print(f"{alone[t]:5d} {catches[t]:4d}  {t}")
PY
