#!/usr/bin/env python3
"""Plants one fault, for tools/plant-faults.sh and tools/catch-matrix.sh.

    python3 tools/plant-one.py FILE ORIGINAL REPLACEMENT [LINE]

Exits 0 when planted, 1 when the original is not there exactly once (with
LINE: when that line is not the original).
"""
import sys
path, original, replacement = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if len(sys.argv) > 4:
    lines = text.split("\n")
    n = int(sys.argv[4]) - 1
    if lines[n] != original:
        sys.exit(1)
    lines[n] = replacement
    text = "\n".join(lines)
elif text.count(original) == 1:
    text = text.replace(original, replacement)
else:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text)
