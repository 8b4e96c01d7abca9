#!/usr/bin/env python3
"""Checks the editor support against the interpreter's own list of built-ins.

    check_editors.py SOURCE_DIR

The TextMate grammar must be well-formed JSON whose patterns compile, and every built-in name must
be highlighted as a built-in by it and by the Vim syntax file, and nothing else may be. When Vim
is installed the syntax file is also loaded into Vim, which must accept it and colour each name.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from builtin_table import registry_names, report  # noqa: E402

BUILTIN_SCOPES = ("support.function.", "support.constant.")

# Program lines with a column (from 1) and the (Vim group, TextMate scope) it must get: a data
# literal with [p] inside ends at its own bracket, definition names and fractions are seen.
SAMPLES = [
    ("[ab[p]c]+plus", 13, ("tarnPrimitive", "support.function.primitive")),
    ("[ab[p]c]+plus", 5, ("tarnDataEscape", "constant.character.escape")),
    ("a\\x,fact\\k\\k", 6, ("tarnDefinition", "entity.name.function")),
    (",[+]\\K", 3, ("tarnDefinition", "entity.name.function")),
    ("a\\005", 4, ("tarnFraction", "constant.numeric.fraction")),
    ("a\\x{getchar}x", 6, ("tarnBridge", "support.function.bridge")),
]


def patterns_of(grammar, pattern):
    """The match patterns a grammar entry stands for, includes resolved, in order."""
    if "include" in pattern:
        return patterns_of(grammar, grammar["repository"][pattern["include"][1:]])
    if "patterns" in pattern and "begin" not in pattern:
        return [p for inner in pattern["patterns"] for p in patterns_of(grammar, inner)]
    return [pattern]


def textmate_scope(grammar, word):
    """Scope of the token that the grammar's top-level rules give at the start of word."""
    best = None
    for pattern in patterns_of(grammar, {"patterns": grammar["patterns"]}):
        regex = pattern.get("match") or pattern.get("begin")
        m = re.search(regex, word)
        if m and (best is None or m.start() < best[0].start()):
            best = (m, pattern)
    if best is None or best[0].start() != 0:
        return None, 0
    m, pattern = best
    scope = pattern.get("name") or pattern.get("captures", {}).get("1", {}).get("name")
    return scope, m.end()


def textmate_scopes(grammar, line):
    """Scope of every byte of a line, by the usual rule: at each point the rule that matches
    earliest wins, the first listed on a tie; a begin rule opens a region until its end."""
    scopes = [None] * len(line)
    stack = [(None, {"patterns": grammar["patterns"]}, None)]  # (scope, rule, end regex)
    i = 0
    while i < len(line):
        scope, rule, end = stack[-1]
        best = None
        if end is not None:
            m = re.compile(end).search(line, i)
            if m:
                best = (m, "end")
        for pattern in patterns_of(grammar, {"patterns": rule.get("patterns", [])}):
            m = re.compile(pattern.get("match") or pattern["begin"]).search(line, i)
            if m and (best is None or m.start() < best[0].start()):
                best = (m, pattern)
        if best is None:
            break
        m, what = best
        for k in range(i, m.start()):
            scopes[k] = scope
        if what == "end":
            stack.pop()
        elif "begin" in what:
            stack.append((what.get("name"), what, what["end"]))
        for k in range(m.start(), max(m.end(), m.start() + 1)):
            if k < len(line):
                inner = what if what != "end" else None
                name = (inner or {}).get("name") or (inner or {}).get("captures", {}).get(
                    "1", {}).get("name")
                scopes[k] = name or (stack[-1][0] if what == "end" else scope)
        i = max(m.end(), m.start() + 1)
    return scopes


def check_textmate(source, names, problems):
    path = os.path.join(source, "editors", "textmate", "tarn.tmLanguage.json")
    try:
        grammar = json.load(open(path, encoding="utf-8"))
    except (OSError, ValueError) as e:
        problems.append(f"{path}: does not load: {e}")
        return
    for key in ("name", "scopeName", "patterns", "repository"):
        if key not in grammar:
            problems.append(f"{path}: no {key!r}")
            return
    for pattern in patterns_of(grammar, {"patterns": grammar["patterns"]}):
        for key in ("match", "begin", "end"):
            if key in pattern:
                try:
                    re.compile(pattern[key])
                except re.error as e:
                    problems.append(f"{path}: pattern {pattern[key][:40]!r}: {e}")
    for name in names:
        scope, length = textmate_scope(grammar, name)
        if not (scope or "").startswith(BUILTIN_SCOPES) or length != len(name):
            problems.append(f"textmate: built-in {name!r} gets {scope!r} over {length} bytes")
    for text, column, want in SAMPLES:
        got = textmate_scopes(grammar, text)[column - 1]
        if not (got or "").startswith(want[1]):
            problems.append(f"textmate: {text!r} at column {column} gets {got!r}")
    # Names near the built-ins that are not built-ins, and what must not swallow them.
    for word, want in (("fact\\", "entity.name.function"), ("plus1", "support.function"),
                       ("putsx", None), ("strlen_", None), ("[puts]", "string")):
        scope, length = textmate_scope(grammar, word)
        ok = (scope or "").startswith(want) if want else not (scope or "").startswith(
            BUILTIN_SCOPES)
        if not ok:
            problems.append(f"textmate: {word!r} gets {scope!r}")


def vim_keywords(path):
    groups = {}
    for line in open(path, encoding="utf-8"):
        words = line.split()
        if words[:2] == ["syn", "keyword"]:
            for w in words[3:]:
                groups[w] = words[2]
    return groups


def check_vim(source, names, problems):
    path = os.path.join(source, "editors", "vim", "syntax", "tarn.vim")
    groups = vim_keywords(path)
    missing = sorted(set(names) - set(groups))
    extra = sorted(set(groups) - set(names))
    if missing:
        problems.append(f"vim: built-ins without a keyword: {missing}")
    if extra:
        problems.append(f"vim: keywords that are no built-ins: {extra}")
    vim = shutil.which("vim")
    if not vim:
        print("vim is not installed: the syntax file is checked as text only")
        return
    with tempfile.TemporaryDirectory() as work:
        sample = os.path.join(work, "sample.tarn")
        result = os.path.join(work, "groups.txt")
        # After the names, the sample lines, each checked at its column.
        tails = [(text, column, want[0]) for text, column, want in SAMPLES]
        columns = [1] * len(names) + [c for _, c, _ in tails]
        with open(sample, "w") as f:
            f.write("\n".join(names + [t for t, _, _ in tails]) + "\n")
        script = os.path.join(work, "check.vim")
        with open(script, "w") as f:
            f.write(f"syntax on\nsource {path}\n"
                    "let out = []\n"
                    f"let columns = {columns}\n"
                    "for n in range(1, line('$'))\n"
                    "  call add(out, synIDattr(synID(n, columns[n - 1], 1), 'name'))\n"
                    "endfor\n"
                    f"call writefile(out, '{result}')\n"
                    "qall!\n")
        proc = subprocess.run([vim, "-N", "-u", "NONE", "-i", "NONE", "-n", "-es", "-S", script,
                               sample], capture_output=True, timeout=120)
        if not os.path.exists(result):
            problems.append(f"vim could not load the syntax file: {proc.stdout!r} {proc.stderr!r}")
            return
        seen = open(result).read().split("\n")
        for name, group in zip(names, seen):
            if group not in ("tarnPrimitive", "tarnBridge", "tarnConstant"):
                problems.append(f"vim: built-in {name!r} is coloured as {group!r}")
        for (text, _, want), group in zip(tails, seen[len(names):]):
            if group != want:
                problems.append(f"vim: {text!r} at that column is coloured as {group!r}, not {want}")


def main():
    source = sys.argv[1]
    table = registry_names(source)
    names = [name for name, _ in table]
    problems = []
    if len(names) != 223:
        problems.append(f"the registry table holds {len(names)} names")
    check_textmate(source, names, problems)
    check_vim(source, names, problems)
    return report(problems, f"{len(names)} built-ins checked, {len(problems)} problems")


if __name__ == "__main__":
    sys.exit(main())
