#!/usr/bin/env python3
"""Integer arithmetic through the language, checked against Python's integers.

Usage: primitives_oracle.py path/to/tarn [checks] [--long]

Generates random operands of up to a few hundred digits (fixed seed), writes each check as a
test in a program, runs the real binary and compares. Seven checks share one program: check i
adds 2^i to the result when it holds, so the exit status tells which ones failed. Operands are
sometimes given as bit lists (lots) to show that they compute as the equal numerals.
With --long the operands have lengths around the places where the integer kernels change
method (schoolbook, Karatsuba, transform, Newton division: 18-digit limbs), some of them all
nines or powers of ten, and powers have longer exponents.
Prints "N passed, M failed"; exits 1 when any check failed.
"""
import os
import random
import subprocess
import sys
import tempfile

SEED = 20240607
PER_PROGRAM = 7
LONG = "--long" in sys.argv
# Digit counts at and around the method thresholds of the long kernels.
LONG_LENGTHS = [17, 18, 19, 36, 37, 863, 864, 865, 2159, 2160, 2161, 4400, 17999, 18000, 18001,
                40000]


def numeral(n):
    """The language's numeral: a leading 0 is the minus sign."""
    return str(n) if n >= 0 else "0" + str(-n)


def random_int(rng, max_digits):
    if LONG and max_digits == 300:
        digits = rng.choice(LONG_LENGTHS)
        shape = rng.random()
        if shape < 0.15:
            n = 10 ** digits - 1  # all nines
        elif shape < 0.25:
            n = 10 ** (digits - 1)
        else:
            n = rng.randint(10 ** (digits - 1), 10 ** digits - 1)
        return -n if rng.random() < 0.5 else n
    digits = rng.randint(1, max_digits)
    n = rng.randint(10 ** (digits - 1), 10 ** digits - 1) if digits > 1 else rng.randint(0, 9)
    return -n if rng.random() < 0.5 else n


def operand(rng, n):
    text = numeral(n)
    return f"lots({text})" if rng.random() < 0.15 else text


def floor_div(x, y):
    return x // y  # Python floors, as the language does


def remainder(x, y):
    return abs(x - y * (x // y))


def make_check(rng):
    """One test in the language's text; it is true when the language agrees with Python."""
    kind = rng.choice(["+", "-", "*", "/", "%", "^", "<", ">", "=", "#", "~", "$", "/0"])
    x = random_int(rng, 300)
    y = random_int(rng, 300)
    if rng.random() < 0.1:
        y = x  # equal operands for the comparisons and zero results
    if kind in "+-*":
        r = {"+": x + y, "-": x - y, "*": x * y}[kind]
        return f"{operand(rng, x)}{kind}{operand(rng, y)}={numeral(r)}"
    if kind in ("/", "%"):
        while y == 0:
            y = random_int(rng, 300)
        if rng.random() < 0.3:
            y = random_int(rng, 12) or 7  # small divisors give long quotients
        r = floor_div(x, y) if kind == "/" else remainder(x, y)
        return f"{operand(rng, x)}{kind}{operand(rng, y)}={numeral(r)}"
    if kind == "/0":
        op = rng.choice("/%")
        return f"type({operand(rng, x)}{op}0)=[void]"
    if kind == "^":
        base = random_int(rng, 25)
        exponent = rng.randint(-3, 2000 if LONG else 14)
        r = base ** exponent if exponent >= 0 else 0
        return f"{operand(rng, base)}^{numeral(exponent)}={numeral(r)}"
    if kind in "<>=#":
        truth = {"<": x < y, ">": x >= y, "=": x == y, "#": x != y}[kind]
        test = f"{operand(rng, x)}{kind}{operand(rng, y)}"
        return test if truth else f"({test})(H,K)"
    if kind == "~":
        return f"~{operand(rng, x)}={numeral(-x)}"
    test = f"${operand(rng, x)}"
    return test if x >= 0 else f"({test})(H,K)"


def run_program(tarn, checks, workdir):
    terms = [f"({c})({1 << i},0)" for i, c in enumerate(checks)]
    program = "a\\" + "+".join(terms)
    path = os.path.join(workdir, "oracle.tarn")
    with open(path, "w") as f:
        f.write(program)
    proc = subprocess.run([tarn, path], capture_output=True, timeout=300)
    return proc.returncode, proc.stderr.decode("utf-8", "replace")


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    args = [a for a in sys.argv[1:] if a != "--long"]
    tarn = os.path.abspath(args[0])
    total = int(args[1]) if len(args) > 1 else (140 if LONG else 420)
    rng = random.Random(SEED)
    checks = [make_check(rng) for _ in range(total)]
    passed = failed = 0
    with tempfile.TemporaryDirectory() as workdir:
        for start in range(0, total, PER_PROGRAM):
            group = checks[start:start + PER_PROGRAM]
            status, stderr = run_program(tarn, group, workdir)
            for i, check in enumerate(group):
                if status >= 0 and not stderr and status & (1 << i):
                    passed += 1
                else:
                    failed += 1
                    print(f"FAIL a\\({check})(1,0)  [status {status}] {stderr.strip()[:200]}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.set_int_max_str_digits(0)
    sys.exit(main())
