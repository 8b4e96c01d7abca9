"""What the documentation checks share: the built-ins as the registry lists them, and the report."""
import glob
import os
import re


def registry_names(source):
    """Name and arity of every built-in, read from the registry's table in the sources."""
    for path in sorted(glob.glob(os.path.join(source, "**", "*.cpp"), recursive=True)):
        if os.path.relpath(path, source).split(os.sep)[0] in ("build", "tests"):
            continue
        text = open(path, encoding="utf-8").read()
        table = re.search(r"kBuiltins\[\]\s*=\s*\{(.*?)\n\};", text, re.S)
        if table:
            return re.findall(r'\{"([a-z_]+)",\s*(\d+)\}', table.group(1))
    raise SystemExit("no table of built-ins found in the sources")


def report(problems, summary):
    """Prints every problem and the summary line; the exit status of the check."""
    for p in problems:
        print("FAIL " + p)
    print(summary)
    return 1 if problems else 0
