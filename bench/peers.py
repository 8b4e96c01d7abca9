#!/usr/bin/env python3
"""tarn beside CPython on the same algorithms, printed as ratios from one run.

    python3 bench/peers.py [path/to/tarn]     (default build/release/driver/tarn)

Each job runs as its own process on both sides, the best of three runs; tarn's CPU seconds are
user plus system time of the child less that of a trivial program, CPython's the process time
of the job alone (its start-up varies more than the jobs take). Memory is the peak resident size
of a list of 1,000,000 cells less that of 100,000, per element of the difference. The linking
jobs time one long expression and many definitions at 0.25 MB and 1 MB of program text, with
the exponent of the time in the size. Last, callgrind's instruction count for nfib 25, which
a noisy machine does not move.
"""
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARN = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/release/driver/tarn")
PY = sys.executable

NFIB = "a\\nfib({n}),nfib\\n\\(n<2)(1,nfib(n-1)+nfib(n-2)+1)"
NFIB_PY = """
def nfib(n):
    return 1 if n < 2 else nfib(n - 1) + nfib(n - 2) + 1
nfib({n})
"""

CHURCH = ("a\\(mul(pw two sixt)sixt(x\\x+1)0=1048576)(7,9),two\\f\\x\\f(f x),"
          "sixt\\f\\x\\f(f(f(f(f(f(f(f(f(f(f(f(f(f(f(f x))))))))))))))),"
          "pw\\b\\e\\e b,mul\\m\\n\\f\\m(n f)")
CHURCH_PY = """
two = lambda f: lambda x: f(f(x))
def sixt(f):
    return lambda x: f(f(f(f(f(f(f(f(f(f(f(f(f(f(f(f(x))))))))))))))))
pw = lambda b: lambda e: e(b)
mul = lambda m: lambda n: lambda f: m(n(f))
assert mul(pw(two)(sixt))(sixt)(lambda x: x + 1)(0) == 1048576
"""

LIST = ("a\\(sum(build {n} 0){n} 0={total})(7,9),build\\n\\l\\(n=0)(l,build(n-1)(V n l)),"
        "sum\\l\\k\\s\\(k=0)(s,l(h\\t\\sum t (k-1) (s+h)))")
LIST_PY = """
def build(n, l):
    while n != 0:
        l = (n, l)
        n -= 1
    return l
def total(l, k, s):
    while k != 0:
        h, l = l
        s += h
        k -= 1
    return s
assert total(build({n}, 0), {n}, 0) == {total}
"""


def run(argv, stdin_text=None):
    """CPU seconds and peak resident kilobytes of one child process."""
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss, proc.returncode


def tarn_file(directory, name, text):
    path = os.path.join(directory, name + ".tarn")
    with open(path, "w", encoding="latin-1") as f:
        f.write(text)
    return path


def python_job(code, repeats=3):
    """Best process time of the code, measured inside the interpreter."""
    timed = "import time\n_t0 = time.process_time()\n" + code + \
        "\nprint(time.process_time() - _t0)\n"
    return min(float(subprocess.run([PY, "-c", timed], capture_output=True, text=True,
                                    check=True).stdout) for _ in range(repeats))


def best(argv, expect, repeats=3):
    times, peak = [], 0
    for _ in range(repeats):
        cpu, rss, status = run(argv)
        if expect is not None and status != expect:
            sys.exit(f"{' '.join(argv)}: exit status {status}, expected {expect}")
        times.append(cpu)
        peak = max(peak, rss)
    return min(times), peak


def main():
    directory = tempfile.mkdtemp(prefix="tarn-bench-")
    try:
        base_tarn, _ = best([TARN, tarn_file(directory, "zero", "a\\0")], 0)
        rows = []

        def job(label, text, expect, py_code, unit="CPU s"):
            t, _ = best([TARN, tarn_file(directory, "job", text)], expect)
            p = python_job(py_code)
            t = max(t - base_tarn, 1e-4)
            rows.append((label, unit, t, p))

        job("nfib 27 (635,621 calls)", NFIB.format(n=27), 635621 % 256, NFIB_PY.format(n=27))
        job("Church numerals, (mul c65536 c16) succ 0", CHURCH, 7, CHURCH_PY)
        big = dict(n=1000000, total=500000500000)
        small = dict(n=100000, total=5000050000)
        job("list of 1,000,000 V cells built, walked, summed", LIST.format(**big), 7,
            LIST_PY.format(**big))

        _, t_big = best([TARN, tarn_file(directory, "big", LIST.format(**big))], 7, 1)
        _, t_small = best([TARN, tarn_file(directory, "small", LIST.format(**small))], 7, 1)
        _, p_big = best([PY, "-c", LIST_PY.format(**big)], 0, 1)
        _, p_small = best([PY, "-c", LIST_PY.format(**small)], 0, 1)
        per = lambda a, b: (a - b) * 1024 / 900000
        rows.append(("peak memory per live list element", "bytes", per(t_big, t_small),
                     per(p_big, p_small)))

        link_times = {}
        for kind in ("expression", "definitions"):
            for size in (250000, 1000000):
                text, py = link_program(kind, size)
                t, _ = best([TARN, tarn_file(directory, "link", text)], 7)
                src = os.path.join(directory, "peer.py")
                with open(src, "w") as f:
                    f.write(py)
                p = python_job(f"compile(open({src!r}).read(), 'peer', 'exec')")
                t = max(t - base_tarn, 1e-4)
                link_times[(kind, size)] = t
                rows.append((f"{size / 1e6:g} MB program, {kind}, parsed and linked", "CPU s", t, p))

        print(f"{'job':58} {'unit':6} {'tarn':>9} {'CPython':>9} {'ratio':>7}")
        for label, unit, t, p in rows:
            print(f"{label:58} {unit:6} {t:9.3f} {p:9.3f} {t / p:7.2f}")
        for kind in ("expression", "definitions"):
            e = math.log(link_times[(kind, 1000000)] / link_times[(kind, 250000)]) / math.log(4)
            print(f"linking time exponent, {kind}, 0.25 MB to 1 MB: {e:.2f}")
        print(f"nfib 25 under callgrind: {callgrind_count(directory)}")
    finally:
        shutil.rmtree(directory)


def letters(i):
    s = ""
    while True:
        s = chr(ord("a") + i % 26) + s
        i //= 26
        if i == 0:
            return "q" + s


def link_program(kind, size):
    """A tarn program of about `size` bytes that links and exits 7 without computing much,
    and Python source of the same size and shape."""
    if kind == "expression":
        items, length, i = [], 0, 0
        while length < size:
            items.append(str(i % 1000))
            length += len(items[-1]) + 1
            i += 1
        return "a\\K 7 (" + "+".join(items) + ")", "x = [" + ",".join(items) + "]\n"
    defs, py, length, i = [], [], 0, 0
    while length < size:
        defs.append(f"{letters(i)}\\x\\x+{i % 1000}+{letters(i + 1)} x")
        py.append(f"def {letters(i)}(x): return x+{i % 1000}+{letters(i + 1)}(x)")
        length += len(defs[-1]) + 1
        i += 1
    defs.append(f"{letters(i)}\\x\\x")
    py.append(f"def {letters(i)}(x): return x")
    return "a\\K 7 (qa 1)," + ",".join(defs), "\n".join(py) + "\n"


def callgrind_count(directory):
    if not shutil.which("valgrind"):
        return "valgrind not installed"
    path = tarn_file(directory, "nfib25", NFIB.format(n=25))
    out = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                          TARN, path], capture_output=True, text=True).stderr
    m = re.search(r"Collected : (\d+)", out)
    return f"{int(m.group(1)):,} instructions" if m else "no count"


if __name__ == "__main__":
    main()
