#!/usr/bin/env python3
"""Runs one example program and compares its standard output and exit status byte for byte.

    run_example.py TARN PROGRAM STATUS EXPECTED_STDOUT [--stdin FILE] [ARG ...]

EXPECTED_STDOUT is a file holding the exact output; the arguments follow the program path.
"""
import subprocess
import sys


def main():
    tarn, program, status, expected_path, rest = *sys.argv[1:5], sys.argv[5:]
    stdin = b""
    if rest[:1] == ["--stdin"]:
        with open(rest[1], "rb") as f:
            stdin = f.read()
        rest = rest[2:]
    with open(expected_path, "rb") as f:
        expected = f.read()
    proc = subprocess.run([tarn, program] + rest, input=stdin, capture_output=True, timeout=300)
    problems = []
    if proc.returncode != int(status):
        problems.append(f"status: want {status}, got {proc.returncode}")
    if proc.stdout != expected:
        problems.append(f"stdout:\n  want {expected!r}\n  got  {proc.stdout!r}")
    if proc.stderr:
        problems.append(f"stderr: {proc.stderr!r}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
