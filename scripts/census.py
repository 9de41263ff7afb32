#!/usr/bin/env python3
"""census: function lengths and the bare numbers left where names exist for them.

    scripts/census.py [ROOT]

For each of src/platform, src/render, src/game, src/app (and all of them): how many function
bodies, the median and 90th-percentile length in lines (from the line that opens the body
to the line that closes it, both counted), and the five longest. Then the blend modes and
key codes still written as numbers in src/game, src/app and src/render:
twdraw.sip/SetBlendMode with a literal mode, ReadKeyHit/IsKeyHeld with a literal key.
"""
import os
import re
import statistics
import sys

ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["src/platform", "src/render", "src/game", "src/app"]


def strip(text):
    """Comments, strings and character literals blanked; line breaks kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


HEAD = re.compile(r"\)\s*(const\s*)?(noexcept\s*)?(override\s*)?(->\s*[\w:<>]+\s*)?$")
NOT_FUNC = re.compile(r"\b(if|for|while|switch|catch)\s*\(.*\)\s*$")


def functions(path):
    """(name line, length) of every function body, lambdas inside a body counted with it."""
    text = strip(open(path, encoding="utf-8").read())
    found, stack, line = [], [], 1
    for i, c in enumerate(text):
        if c == "\n":
            line += 1
        elif c == "{":
            before = text[max(0, i - 300):i]
            before = before[before.rfind(";") + 1:] if ";" in before else before
            before = before[before.rfind("}") + 1:] if "}" in before else before
            is_func = bool(HEAD.search(before.rstrip())) and not NOT_FUNC.search(before.strip())
            inside_func = any(kind for kind, _ in stack)
            stack.append((is_func and not inside_func, line))
        elif c == "}" and stack:
            kind, start = stack.pop()
            if kind:
                found.append((f"{os.path.relpath(path, ROOT)}:{start}", line - start + 1))
    return found


def sources(folder):
    base = os.path.join(ROOT, folder)
    for name in sorted(os.listdir(base)):
        if name.endswith((".cpp", ".h")):
            yield os.path.join(base, name)


def census(label, funcs):
    lengths = sorted(n for _, n in funcs)
    if not lengths:
        return
    p90 = lengths[min(len(lengths) - 1, int(0.9 * len(lengths)))]
    longest = ", ".join(f"{w} {n}" for w, n in sorted(funcs, key=lambda f: -f[1])[:5])
    print(f"{label}: {len(lengths)} functions, median {statistics.median(lengths):g}, p90 {p90}; longest: {longest}")


BARE = {
    "blend modes": re.compile(r"\b(sip|SetBlendMode)\(\s*\d"),
    "key codes": re.compile(r"\b(ReadKeyHit|IsKeyHeld)\(\s*\d"),
}


def main():
    every = []
    for folder in FOLDERS:
        funcs = [f for p in sources(folder) for f in functions(p)]
        every += funcs
        census(folder, funcs)
    census("all", every)
    for what, pattern in BARE.items():
        hits = [f"{os.path.relpath(p, ROOT)}:{n}"
                for folder in FOLDERS[1:] for p in sources(folder)
                for n, text in enumerate(strip(open(p, encoding="utf-8").read()).split("\n"), 1)
                for _ in pattern.finditer(text)]
        print(f"bare {what} in src/render, src/game, src/app: {len(hits)}" + (f" ({', '.join(hits)})" if hits else ""))


main()
