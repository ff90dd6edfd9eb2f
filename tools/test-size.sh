#!/usr/bin/env bash
# Prints the size of the tests against the size of the shipped program, in
# non-blank, non-comment lines, and their ratio.
#   shipped: core/ storage/ autostart/ ui/ platform/ app/
#   tests:   tests/
# (tools/ and bench/ count on neither side.) Counted files: C++ sources and
# headers (.cpp .h .in), .rc resource scripts and shell scripts (.sh); not the
# build files (CMakeLists.txt, .cmake), the manifest, pictures or other assets.
# C++ and .rc lose // and /* */ comments; shell scripts lose # comments.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() {
  local files
  files=$(find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.in' -o -name '*.rc' -o -name '*.sh' \) 2>/dev/null | sort)
  [ -n "$files" ] || { echo 0; return; }
  local f total=0 n
  for f in $files; do
    case "$f" in
      *.sh)
        n=$(grep -cvE '^[[:space:]]*(#|$)' "$f" || true) ;;
      *)
        n=$(awk '
          { line = $0; out = "" 
            while (length(line) > 0) {
              if (inblock) {
                e = index(line, "*/"); if (e == 0) { line = ""; break }
                line = substr(line, e + 2); inblock = 0; continue
              }
              s = index(line, "/*"); c = index(line, "//")
              if (c > 0 && (s == 0 || c < s)) { out = out substr(line, 1, c - 1); line = ""; break }
              if (s > 0) { out = out substr(line, 1, s - 1); line = substr(line, s + 2); inblock = 1; continue }
              out = out line; line = ""
            }
            if (out ~ /[^[:space:]]/) n++ }
          END { print n + 0 }' "$f") ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}

shipped=$(count core storage autostart ui platform app)
tests=$(count tests)
echo "shipped code (core storage autostart ui platform app): $shipped lines"
echo "tests (tests/):                                       $tests lines"
awk -v t="$tests" -v s="$shipped" 'BEGIN { printf "ratio tests/shipped: %.2f\n", (s ? t / s : 0) }'
