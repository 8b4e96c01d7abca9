#!/usr/bin/env python3
"""Checks that the reference's tables of built-ins list every built-in once, with its arity.

    check_reference.py SOURCE_DIR

The names and arities come from the registry's table in the sources (as for the editor check);
the reference lists them in rows "| `name`, `name` | arity | ...".
"""
import os
import re
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from builtin_table import registry_names, report  # noqa: E402


def main():
    source = sys.argv[1]
    arity = {name: int(n) for name, n in registry_names(source)}
    text = open(os.path.join(source, "docs", "reference.md"), encoding="utf-8").read()
    section = text[text.index("\n## Built-ins"):]
    section = section[:section.index("\n## ", 1)]
    seen, problems = {}, []
    for line in section.split("\n"):
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 2 or not re.fullmatch(r"\d+", cells[1]):
            continue
        for name in re.findall(r"`([a-z_]+)`", cells[0]):
            if name not in arity:
                problems.append(f"{name!r} is listed but is no built-in")
            elif int(cells[1]) != arity[name]:
                problems.append(f"{name!r} is listed with arity {cells[1]}, not {arity[name]}")
            seen[name] = seen.get(name, 0) + 1
    for name in arity:
        if seen.get(name, 0) != 1:
            problems.append(f"{name!r} is listed {seen.get(name, 0)} times")
    return report(problems, f"{len(arity)} built-ins, {len(problems)} problems")


if __name__ == "__main__":
    sys.exit(main())
