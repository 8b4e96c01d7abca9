#!/usr/bin/env python3
"""Big-number jobs: tarn beside CPython and GMP, CPU seconds, median of several runs.

    bench/big_numbers.py [--tarn PATH] [--skip-build] [--only NAME,...] [--timeout S] [--runs N]

Builds the Release preset (the interpreter only) and the GMP peer (bench/gmp_jobs.c), then
runs each job in each of the three as a whole process: operands are read as decimal text (the
program text for tarn, a file for the peers) and every result is made into decimal text. The
table gives the median CPU time (user + system) and the ratios tarn/GMP and CPython/tarn, then the growth exponent of
each side from 10^5 to 10^6 digits for products, quotients and powers. A run that exceeds the
time bound is shown as ">S".
"""
import argparse
import math
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "bench-numbers")

# Python: decimal text both ways, without the default limit on long conversions.
PY_PRELUDE = "import sys\nsys.set_int_max_str_digits(0)\n"


def random_number(rng, digits):
    return str(rng.randint(1, 9)) + "".join(rng.choices("0123456789", k=digits - 1))


def make_jobs(rng):
    """(name, tarn program, python program, gmp arguments); operand files are written here."""
    jobs = []

    def operands(name, a, b):
        path = os.path.join(WORK, name + ".in")
        with open(path, "w") as f:
            f.write(a + "\n" + b + "\n")
        return path

    def read_py(path):
        return PY_PRELUDE + f"x, y = (int(s) for s in open({path!r}).read().split())\n"

    for e in (100000, 1000000):
        jobs.append((f"3^{e} with ^", f"a\\(3^{e})%256\n",
                     PY_PRELUDE + f"str(3**{e})\n", ["pow", str(e)]))
    jobs.append(("3^1000000 by squaring with *",
                 "a\\pw(3,1000000)%256,pw\\b\\e\\(e<1)(1,h{pw(b,e/2)}s{h*h}(e%2=0)(s,b*s))\n",
                 PY_PRELUDE + "def pw(b, e):\n"
                 "    if e < 1: return 1\n"
                 "    h = pw(b, e // 2); s = h * h\n"
                 "    return s if e % 2 == 0 else b * s\n"
                 "str(pw(3, 1000000))\n", ["square", "1000000"]))
    for n in (100000, 200000, 1000000):
        a, b = random_number(rng, n), random_number(rng, n)
        path = operands(f"mul{n}", a, b)
        jobs.append((f"{n} x {n} digits, and the sum", f"a\\p{{{a}*{b}}}s{{{a}+{b}}}(p%256+s%256)\n",
                     read_py(path) + "str(x * y), str(x + y)\n", ["mul", path]))
    for n in (50000, 100000, 1000000):
        a, b = random_number(rng, 2 * n), random_number(rng, n)
        path = operands(f"div{n}", a, b)
        jobs.append((f"{2 * n}-digit / {n}-digit, q and r", f"a\\q{{{a}/{b}}}r{{{a}%{b}}}(q%256+r%256)\n",
                     read_py(path) + "str(x // y), str(x % y)\n", ["div", path]))
    jobs.append(("30000! by a loop of *", "a\\fact(30000)%256,fact\\k\\(k<2)(1,k*fact(k-1))\n",
                 PY_PRELUDE + "p = 1\nfor k in range(2, 30001): p *= k\nstr(p)\n", ["fact", "30000"]))
    jobs.append(("(10^1000000 - 1) / 7 and % 7",
                 "a\\x{10^1000000-1}q{x/7}r{x%7}(q%256+r)\n",
                 PY_PRELUDE + "x = 10**1000000 - 1\nstr(x // 7), str(x % 7)\n", ["nines", "1000000"]))
    return jobs


def cpu_seconds(command, timeout):
    """CPU time of one run of the command, or None when it ran past the bound."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return None
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def median_time(command, runs, timeout):
    times = []
    for i in range(runs):
        t = cpu_seconds(command, timeout)
        if t is None:
            return None
        times.append(t)
        if t > 5:  # long jobs: one run says enough
            break
    return statistics.median(times)


def show(t, timeout):
    if t == "skipped":
        return "-"
    return f">{timeout:g}" if t is None else f"{t:.3f}"


def ratio(a, b):
    if not isinstance(a, float) or not isinstance(b, float) or b == 0:
        return "-"
    return f"{a / b:.1f}"


def build(tarn_given):
    if not tarn_given:
        subprocess.run(["cmake", "--preset", "release"], cwd=ROOT, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", "--preset", "release", "--target", "tarn", "-j2"],
                       cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    gmp = os.path.join(WORK, "gmp_jobs")
    subprocess.run(["cc", "-O2", "-o", gmp, os.path.join(ROOT, "bench", "gmp_jobs.c"), "-lgmp"],
                   check=True)
    return gmp


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tarn", help="interpreter to time (default: the Release build)")
    parser.add_argument("--only", help="comma-separated substrings of job names")
    parser.add_argument("--timeout", type=float, default=60.0, help="bound on one run, seconds")
    parser.add_argument("--runs", type=int, default=3, help="runs per job and side")
    parser.add_argument("--no-python", action="store_true", help="skip the CPython column")
    args = parser.parse_args()
    os.makedirs(WORK, exist_ok=True)
    gmp = build(args.tarn)
    tarn = args.tarn or os.path.join(ROOT, "build", "release", "driver", "tarn")
    jobs = make_jobs(random.Random(13))
    if args.only:
        keys = args.only.split(",")
        jobs = [j for j in jobs if any(k in j[0] for k in keys)]
    results = {}
    print(f"{'job':38} {'tarn':>8} {'CPython':>8} {'GMP':>8} {'tarn/GMP':>9} {'CPython/tarn':>13}")
    for name, program, python, gmp_args in jobs:
        with tempfile.TemporaryDirectory(dir=WORK) as tmp:
            tarn_file = os.path.join(tmp, "job.tarn")
            py_file = os.path.join(tmp, "job.py")
            with open(tarn_file, "w") as f:
                f.write(program)
            with open(py_file, "w") as f:
                f.write(python)
            t = median_time([tarn, tarn_file], args.runs, args.timeout)
            p = "skipped" if args.no_python else median_time([sys.executable, py_file], args.runs,
                                                        args.timeout)
            g = median_time([gmp] + gmp_args, args.runs, args.timeout)
        results[name] = (t, p, g)
        print(f"{name:38} {show(t, args.timeout):>8} {show(p, args.timeout):>8} "
              f"{show(g, args.timeout):>8} {ratio(t, g):>9} {ratio(p, t):>13}", flush=True)
    show_growth(results)


# Jobs ten times apart in size: time grows as n^k with k = log10 of the ratio of their times.
GROWTH = [("products", "100000 x 100000 digits, and the sum", "1000000 x 1000000 digits, and the sum"),
          ("quotients", "200000-digit / 100000-digit, q and r", "2000000-digit / 1000000-digit, q and r"),
          ("^", "3^100000 with ^", "3^1000000 with ^")]


def growth(small, large):
    if not isinstance(small, float) or not isinstance(large, float) or small <= 0:
        return "-"
    return f"{math.log10(large / small):.2f}"


def show_growth(results):
    rows = [(label, results[a], results[b]) for label, a, b in GROWTH if a in results and b in results]
    if not rows:
        return
    print(f"\n{'growth exponent, 10^5 -> 10^6 digits':38} {'tarn':>8} {'CPython':>8} {'GMP':>8}")
    for label, small, large in rows:
        print(f"{label:38} " + " ".join(f"{growth(small[i], large[i]):>8}" for i in range(3)))


if __name__ == "__main__":
    start = time.time()
    main()
    print(f"(CPU seconds, median of the runs; {time.time() - start:.0f} s in all)")
