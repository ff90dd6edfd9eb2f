#!/usr/bin/env bash
# Prints the size of the tests against the size of the shipped program, and
# their ratio. Counted: the lines of the files git tracks that are neither
# blank nor comments (a line that starts with // , or with # other than #! and
# #include / #if...); block comments count as code.
#   shipped: core/ storage/ autostart/ ui/ platform/ app/  (.cpp .h .rc)
#   tests:   tests/ but tests/support/                     (.cpp .h .sh .in)
# tools/, bench/ and the test doubles in tests/support/ count on neither side. With a revision (bash tools/test-size.sh 3ed2eb2)
# the files of that commit are counted instead of the working tree's.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
rev=${1:-}

files() {
  if [ -n "$rev" ]; then git ls-tree -r --name-only "$rev" -- "$@"; else git ls-files -- "$@"; fi
}
content() {
  local f
  while read -r f; do
    if [ -n "$rev" ]; then git show "$rev:$f"; else cat "$f"; fi
  done
}
count() { content | grep -cvE '^\s*(//.*|#([^!i].*)?)?$' || true; }

shipped=$(files core storage autostart ui platform app | grep -E '\.(cpp|h|rc)$' | count)
tests=$(files tests | grep -v '^tests/support/' | grep -E '\.(cpp|h|sh|in)$' | count)
echo "shipped code (core storage autostart ui platform app): $shipped lines"
echo "tests (tests/, not the doubles in tests/support/):   $tests lines"
awk -v t="$tests" -v s="$shipped" 'BEGIN { printf "ratio tests/shipped: %.2f\n", (s ? t / s : 0) }'
