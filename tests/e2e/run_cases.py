#!/usr/bin/env python3
"""Runs the end-to-end cases of one .cases file against the real tarn binary.

A case file holds cases like documentation: a title line, the program text, the expected exit
status, then the expected streams. Lines before the first title are remarks.

    ## title of the case
    a\\1+2*3
    -> 7
    stdout: escaped text       (default: empty)
    stderr: escaped text       (default: empty)
    args: escaped words        (program arguments, separated by spaces)
    stdin: escaped text        (default: nothing)
    program: escaped text      (instead of verbatim program lines, for unusual bytes)
    path: escaped text         (the path given instead of the program file; "none" gives none)
    env: NAME=escaped ...      (variables added to the environment, separated by spaces)
    file: NAME escaped text    (a file created in the case's directory before the run)
    after: NAME escaped text   (the content that file must have after the run)
    stdout~: regex             (instead of stdout: the output, as Latin-1, must match fully)
    leaks: off                 (the program keeps memory it took through the bridge)

Every case runs in a fresh directory of its own, which is also its working directory, so a
program names its files by relative paths.

Program lines stand verbatim between the title and the status line, joined by line feeds.
The status is a number, or "abort" for a process stopped by SIGABRT. Escaped text writes a line
feed as \\n, a carriage return as \\r, the escape character as \\e, a tab as \\t, a byte as \\xHH
and a backslash as \\\\; every other backslash stands for itself.
"""
import os
import re
import subprocess
import sys
import tempfile


def unescape(text):
    out = bytearray()
    i = 0
    raw = text.encode("utf-8", "surrogateescape")
    while i < len(raw):
        c = raw[i]
        if c == 0x5C and i + 1 < len(raw):
            n = chr(raw[i + 1])
            simple = {"n": b"\n", "r": b"\r", "e": b"\x1b", "t": b"\t", "\\": b"\\"}
            if n in simple:
                out += simple[n]
                i += 2
                continue
            if n == "x" and re.fullmatch(rb"[0-9A-Fa-f]{2}", raw[i + 2:i + 4] or b""):
                out.append(int(raw[i + 2:i + 4], 16))
                i += 4
                continue
        out.append(c)
        i += 1
    return bytes(out)


def parse_cases(path):
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8", "surrogateescape").split("\n")
    cases = []
    current = None
    in_program = False
    for number, line in enumerate(lines, 1):
        if line.startswith("## "):
            current = {"title": line[3:].strip(), "line": number, "program": [],
                       "status": None, "stdout": b"", "stderr": b"", "args": [],
                       "stdin": b"", "raw_program": None, "path": None,
                       "env": {}, "files": [], "after": [], "stdout_re": None, "leaks": True}
            cases.append(current)
            in_program = True
            continue
        if current is None:
            continue
        if in_program:
            m = re.fullmatch(r"-> (-?\d+|abort)\s*", line)
            if m:
                current["status"] = m.group(1)
                in_program = False
            elif line.startswith("program: ") and not current["program"]:
                current["raw_program"] = unescape(line[len("program: "):])
            else:
                current["program"].append(line)
            continue
        for key in ("stdout", "stderr", "stdin"):
            if line.startswith(key + ":"):
                current[key] = unescape(line[len(key) + 1:].removeprefix(" "))
                break
        else:
            if line.startswith("path:"):
                current["path"] = unescape(line[5:].removeprefix(" "))
            elif line.startswith("args:"):
                current["args"] = [unescape(w) for w in line[5:].split()]
            elif line.startswith("env:"):
                for word in line[4:].split():
                    name, _, value = word.partition("=")
                    current["env"][name] = unescape(value)
            elif line.startswith("file:") or line.startswith("after:"):
                key = "files" if line.startswith("file:") else "after"
                name, _, content = line.partition(":")[2].strip().partition(" ")
                current[key].append((name, unescape(content)))
            elif line.startswith("stdout~:"):
                current["stdout_re"] = line[len("stdout~:"):].removeprefix(" ")
            elif line.startswith("leaks:"):
                current["leaks"] = line[6:].strip() != "off"
            elif line.strip() and not line.startswith("#"):
                raise SystemExit(f"{path}:{number}: cannot read line {line!r}")
    for case in cases:
        if case["status"] is None:
            raise SystemExit(f"{path}:{case['line']}: case has no '-> status' line")
    return cases


def run_case(tarn, case, top):
    workdir = tempfile.mkdtemp(dir=top)
    for name, content in case["files"]:
        with open(os.path.join(workdir, name), "wb") as f:
            f.write(content)
    env = dict(os.environ)
    env.update({k: v.decode("utf-8", "surrogateescape") for k, v in case["env"].items()})
    if not case["leaks"]:
        env["ASAN_OPTIONS"] = (env.get("ASAN_OPTIONS", "") + ":detect_leaks=0").lstrip(":")
    if case["raw_program"] is not None:
        program = case["raw_program"]
    else:
        program = "\n".join(case["program"]).encode("utf-8", "surrogateescape")
    path = os.path.join(workdir, "program.tarn")
    with open(path, "wb") as f:
        f.write(program)
    try:
        given = [path]
        if case["path"] == b"none":
            given = []
        elif case["path"] is not None:
            given = [case["path"]]
        proc = subprocess.run([tarn] + given + case["args"], input=case["stdin"],
                              capture_output=True, timeout=120, cwd=workdir, env=env)
    except subprocess.TimeoutExpired:
        return ["timed out"]
    problems = []
    want = case["status"]
    got = proc.returncode
    if want == "abort":
        if got != -6:
            problems.append(f"status: want abort, got {got}")
    elif got != int(want) % 256:
        problems.append(f"status: want {want}, got {got}")
    for stream in ("stdout", "stderr"):
        actual = getattr(proc, stream)
        if stream == "stdout" and case["stdout_re"] is not None:
            if not re.fullmatch(case["stdout_re"], actual.decode("latin-1"), re.S):
                problems.append(f"stdout:\n  want ~{case['stdout_re']!r}\n  got  {actual!r}")
        elif actual != case[stream]:
            problems.append(f"{stream}:\n  want {case[stream]!r}\n  got  {actual!r}")
    for name, content in case["after"]:
        try:
            with open(os.path.join(workdir, name), "rb") as f:
                actual = f.read()
        except OSError:
            actual = None
        if actual != content:
            problems.append(f"file {name}:\n  want {content!r}\n  got  {actual!r}")
    return problems


def main():
    tarn, case_file = os.path.abspath(sys.argv[1]), sys.argv[2]
    cases = parse_cases(case_file)
    passed = failed = 0
    with tempfile.TemporaryDirectory() as workdir:
        for case in cases:
            problems = run_case(tarn, case, workdir)
            if problems:
                failed += 1
                print(f"FAIL {case_file}:{case['line']}: {case['title']}")
                for p in problems:
                    print("  " + p)
            else:
                passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
