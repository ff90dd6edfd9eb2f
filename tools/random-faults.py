#!/usr/bin/env python3
"""Draws N small faults at random over the shipped code, for tools/plant-faults.sh --random.

    python3 tools/random-faults.py N SEED

Prints one fault a line: file<TAB>original line<TAB>changed line<TAB>line number.
The candidates are every line of core/ storage/ autostart/ ui/ platform/ app/
(.cpp and .h) but blank lines, comments and preprocessor lines; each draw picks
an operator kind, then one place in the code where it applies and the change
still compiles (as far as a look at the line tells: no arithmetic on a line
with a text, no deleted call in a header, no pure function made impure). The same tree
and SEED draw the same faults.
"""
import random
import re
import subprocess
import sys

SWAPS = {
    "comparison": {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ", " != ": " == "},
    "boolean": {" && ": " || ", " || ": " && ", "true": "false", "false": "true", "!": ""},
    "arithmetic": {" + ": " - ", " - ": " + ", " * ": " / ", " / ": " * ", " % ": " * ", "++": "--", "--": "++",
                   " += ": " -= ", " -= ": " += "},
}
# Where each operator may stand: "!" only as a negation, true/false only as words.
CONTEXT = {"!": r"(?<![!=<>])!(?!=)", "true": r"\btrue\b", "false": r"\bfalse\b", "++": r"\+\+", "--": r"--"}
CONSTANT = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")
CALL = re.compile(r"^(\s+)(?!return\b|delete\b|throw\b)[\w:.\->]+(?:<[\w:, ]*>)?\(.*\);$")


def strip_strings(line):
    """The line with its string and character literals blanked out, same length."""
    return re.sub(r"""(L?"(?:\\.|[^"\\])*"|'(?:\\.|[^'\\])*')""", lambda m: " " * len(m.group()), line)


def candidates(path, lines):
    in_block = False
    for number, line in enumerate(lines, 1):
        code = line.strip()
        if in_block:
            in_block = "*/" not in code
            continue
        if code.startswith("/*"):
            in_block = "*/" not in code
            continue
        if not code or code.startswith(("//", "#")):
            continue
        bare = strip_strings(line).split("//")[0]
        if re.search(r"\bvirtual\b.*= 0;", bare):
            continue  # a pure function stays pure
        for kind, swaps in SWAPS.items():
            if kind == "arithmetic" and bare != line.split("//")[0]:
                continue  # a + beside a text joins strings: a minus would not compile
            for op, new in swaps.items():
                for m in re.finditer(CONTEXT.get(op, re.escape(op)), bare):
                    yield kind, number, line[:m.start()] + new + line[m.end():]
        for m in CONSTANT.finditer(bare):
            yield "constant", number, line[:m.start()] + str(int(m.group(1)) + 1) + line[m.end():]
        if path.endswith(".cpp") and CALL.match(bare.rstrip()) and bare.count("(") == bare.count(")"):
            yield "deleted call", number, CALL.match(bare.rstrip()).group(1)


def main():
    count, seed = int(sys.argv[1]), int(sys.argv[2])
    files = subprocess.run(["git", "ls-files", "core", "storage", "autostart", "ui", "platform", "app"],
                           capture_output=True, text=True, check=True).stdout.split()
    by_kind = {}
    for path in sorted(f for f in files if f.endswith((".cpp", ".h"))):
        lines = open(path, encoding="utf-8").read().split("\n")
        for kind, number, changed in candidates(path, lines):
            by_kind.setdefault(kind, []).append((path, number, lines[number - 1], changed))
    rng = random.Random(seed)
    drawn = []
    while len(drawn) < count:
        fault = rng.choice(by_kind[rng.choice(sorted(by_kind))])
        if fault not in drawn:
            drawn.append(fault)
    for path, number, original, changed in drawn:
        print(f"{path}\t{original}\t{changed}\t{number}")


main()
