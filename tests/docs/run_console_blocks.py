#!/usr/bin/env python3
"""Runs the programs of a Markdown page (the guide, the examples' README) as end-to-end tests.

    run_console_blocks.py TARN PAGE.md [WORKDIR]

The page shows programs as a user would type them:

    ```tarn
    a\\1+2
    ```

    ```console
    $ tarn sum.tarn
    $ echo $?
    3
    ```

Every ```console block is a shell session. Each "$ " line is one command, run by /bin/sh with
`tarn` on the PATH; the lines up to the next "$ " line are what the command prints, standard
output followed by standard error, with the terminal colour escapes removed. "$ echo $?" shows the
exit status of the command before it. A console block first writes the most recent ```tarn block
into the file that its commands name (the first word ending in ".tarn"), so the program
text shown is exactly the program run. With WORKDIR (the examples' README) the commands run there
and a console block without a ```tarn block before it runs files that already exist; without it
each block runs in a fresh directory.

Every ```tarn block must be run by a console block; fragments that are not whole programs go in
```text blocks.
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

ANSI = re.compile(rb"\x1b\[[0-9;]*m")


def read_blocks(page):
    """The fenced blocks of the page as (info word, first line number, text)."""
    blocks = []
    lines = open(page, encoding="utf-8").read().split("\n")
    i = 0
    while i < len(lines):
        m = re.match(r"^```(\w*)\s*$", lines[i])
        if not m:
            i += 1
            continue
        start = i + 1
        i += 1
        body = []
        while i < len(lines) and lines[i] != "```":
            body.append(lines[i])
            i += 1
        if i == len(lines):
            raise SystemExit(f"{page}:{start}: unclosed fence")
        blocks.append((m.group(1), start, "\n".join(body) + "\n"))
        i += 1
    return blocks


def parse_session(text):
    """Commands of a console block with their expected output lines."""
    session = []
    for line in text.split("\n")[:-1]:
        if line.startswith("$ "):
            session.append([line[2:], []])
        elif not session:
            raise ValueError("output before the first command")
        else:
            session[-1][1].append(line)
    return session


def run_session(tarn_dir, workdir, text):
    problems = []
    env = dict(os.environ, PATH=tarn_dir + os.pathsep + os.environ.get("PATH", ""))
    last_status = None
    for command, expected in parse_session(text):
        want = "".join(line + "\n" for line in expected).encode()
        if command.strip() == "echo $?":
            got = f"{last_status}\n".encode()
        else:
            try:
                proc = subprocess.run(["/bin/sh", "-c", command], cwd=workdir, env=env,
                                      stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
            except subprocess.TimeoutExpired:
                problems.append(f"{command}: timed out")
                break
            last_status = proc.returncode
            got = ANSI.sub(b"", proc.stdout + proc.stderr)
        if got != want:
            problems.append(f"$ {command}\n    want {want!r}\n    got  {got!r}")
    return problems


def main():
    tarn = os.path.abspath(sys.argv[1])
    page = sys.argv[2]
    fixed_dir = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    passed, failed = 0, 0
    with tempfile.TemporaryDirectory() as top:
        tarn_dir = os.path.join(top, "bin")
        os.mkdir(tarn_dir)
        os.symlink(tarn, os.path.join(tarn_dir, "tarn"))
        program = None  # (line, text) of the ```tarn block waiting for its run
        for kind, line, text in read_blocks(page):
            if kind == "tarn":
                if program is not None:
                    print(f"FAIL {page}:{program[0]}: program block is never run")
                    failed += 1
                program = (line, text)
                continue
            if kind != "console":
                continue
            workdir = fixed_dir or tempfile.mkdtemp(dir=top)
            try:
                session = parse_session(text)
            except ValueError as e:
                print(f"FAIL {page}:{line}: {e}")
                failed += 1
                continue
            if program is not None:
                names = [w for command, _ in session for w in shlex.split(command)
                         if w.endswith(".tarn")]
                if not names:
                    print(f"FAIL {page}:{line}: no command names a .tarn file")
                    failed += 1
                    continue
                with open(os.path.join(workdir, names[0]), "w", encoding="utf-8") as f:
                    f.write(program[1])
            where = program[0] if program is not None else line
            program = None
            problems = run_session(tarn_dir, workdir, text)
            if problems:
                failed += 1
                print(f"FAIL {page}:{where}")
                for p in problems:
                    print("  " + p)
            else:
                passed += 1
        if program is not None:
            print(f"FAIL {page}:{program[0]}: program block is never run")
            failed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
