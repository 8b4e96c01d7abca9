#!/usr/bin/env python3
"""Checks of the process and directory built-ins that a .cases file cannot express.

    bridge_system_checks.py TARN EXAMPLES_DIR listing|signals

listing: builds a directory tree (a file, a subdirectory, a symbolic link, a dangling link, a
         named pipe), runs examples/ls.tarn on it and compares every line with the kinds that
         lstat gives; each entry, . and .. included, must appear exactly once.
signals: `raise` of a signal ends the process with that very signal.
"""
import os
import stat
import subprocess
import sys
import tempfile


def run(tarn, program_path, args=(), env=None):
    return subprocess.run([tarn, program_path, *args], capture_output=True, timeout=60, env=env)


def kind_letter(path):
    mode = os.lstat(path).st_mode
    if stat.S_ISLNK(mode):
        return "l"
    if stat.S_ISDIR(mode):
        return "d"
    if stat.S_ISCHR(mode) or stat.S_ISBLK(mode):
        return "c"
    return "f"


def check_listing(tarn, examples):
    problems = []
    with tempfile.TemporaryDirectory() as top:
        with open(os.path.join(top, "plain"), "w") as f:
            f.write("text\n")
        os.mkdir(os.path.join(top, "sub"))
        os.symlink("plain", os.path.join(top, "link"))
        os.symlink("sub", os.path.join(top, "link to sub"))
        os.symlink("nowhere", os.path.join(top, "dangling"))
        os.mkfifo(os.path.join(top, "pipe"))
        names = [".", ".."] + os.listdir(top)
        want = sorted(f"{kind_letter(os.path.join(top, n))} {n}" for n in names)
        proc = run(tarn, os.path.join(examples, "ls.tarn"), [top])
        got = sorted(proc.stdout.decode("utf-8", "surrogateescape").splitlines())
        if proc.returncode != 0:
            problems.append(f"ls: status {proc.returncode}, stderr {proc.stderr!r}")
        if got != want:
            problems.append(f"ls:\n  want {want}\n  got  {got}")
        proc = run(tarn, os.path.join(examples, "ls.tarn"), [os.path.join(top, "missing")])
        if proc.returncode != 1 or proc.stdout:
            problems.append(f"ls of a missing directory: status {proc.returncode}, "
                            f"output {proc.stdout!r}")
    return problems


def check_signals(tarn):
    problems = []
    # The sanitizer build would otherwise report the raised SIGSEGV as a fault of its own.
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = (env.get("ASAN_OPTIONS", "") + ":handle_segv=0").lstrip(":")
    with tempfile.TemporaryDirectory() as top:
        for signal in (2, 9, 11, 15):
            path = os.path.join(top, f"raise{signal}.tarn")
            with open(path, "w") as f:
                f.write(f"a\\raise {signal}")
            proc = run(tarn, path, env=env)
            if proc.returncode != -signal:
                problems.append(f"raise {signal}: status {proc.returncode}")
    return problems


def main():
    tarn, examples, which = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    if which == "listing":
        problems = check_listing(tarn, examples)
    else:
        problems = check_signals(tarn)
    for p in problems:
        print("FAIL " + p)
    print("ok" if not problems else f"{len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
