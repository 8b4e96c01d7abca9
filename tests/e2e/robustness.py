#!/usr/bin/env python3
"""Bad or extreme program text never crashes the interpreter.

Runs the real binary on generated programs: very deep nesting, very long operator chains,
large files, and random byte soup. Each run must end with an exit status (a result or the
status 1 of a report), never with a signal such as an abort or a stack overflow. Runs that are
still going after a few seconds (a random program may loop) count as no crash.
"""
import os
import random
import subprocess
import sys
import tempfile


def run(tarn, program, workdir, timeout=20):
    path = os.path.join(workdir, "program.tarn")
    with open(path, "wb") as f:
        f.write(program)
    try:
        proc = subprocess.run([tarn, path], capture_output=True, timeout=timeout,
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None, b""
    return proc.returncode, proc.stderr


def extreme_programs():
    n = 100_000
    yield "nested parentheses", b"a\\" + b"(" * n + b"7" + b")" * n, 7
    yield "nested applications", b"a\\" + b"(I " * n + b"7" + b")" * n, 7
    yield "nested lambdas", b"a\\" + b"(x\\" * 20000 + b"7" + b")" * 20000, None
    yield "long sum", b"a\\0" + b"+1" * n, n % 256
    yield "long power chain", b"a\\1" + b"^1" * n, 1
    yield "long juxtaposition", b"a\\" + b"I " * n + b"9", 9
    yield "many call arguments", b"a\\K(5" + b",1" * n + b")", None
    yield "deep bracket literal", b"a\\rank(" + b"[" * n + b"]" * n + b")", (2 * n) % 256
    yield "unclosed nesting", b"a\\" + b"(" * n, 1
    yield "many definitions", b"a\\d0" + b"".join(
        b",d%s\\d%s" % (bytes(chr(97 + i % 26) * (1 + i // 26), "ascii"),
                        bytes(chr(97 + (i + 1) % 26) * (1 + (i + 1) // 26), "ascii"))
        for i in range(3000)), None
    yield "deep affixes", b"a\\" + b"~" * n + b"5", None
    yield "deep lets", b"a\\" + b"x{1}" * 20000 + b"x", 1


def random_programs(rng, count):
    alphabet = (b"ab_xyz09KSIVHZ()[]{},,;\\\\?\n&|=<>#@  +-:.*/%'^~!\"$`\r\x00\x01\xa0\xff"
                + b"plus lisp init tern")
    for i in range(count):
        length = rng.randrange(1, 60)
        body = bytes(rng.choice(alphabet) for _ in range(length))
        yield f"random text {i}", b"a\\" + body if rng.random() < 0.7 else body, None


PRIMITIVES = {
    "plus": 2, "dash": 2, "mult": 2, "over": 2, "cent": 2, "powa": 2, "less": 2, "gteq": 2,
    "same": 2, "diff": 2, "buck": 1, "wave": 1, "cmpr": 2, "type": 1, "rank": 1, "real": 1,
    "leak": 0, "raws": 2, "lisp": 1, "tern": 1, "leaf": 1, "left": 1, "rght": 1, "cats": 2,
    "cork": 3, "look": 2, "init": 1, "into": 3, "lord": 1, "lots": 1, "rows": 1, "tail": 1,
}
ATOMS = ["0", "1", "05", "7", "00", "004", "0003", "123456789012345678901234567890", "[]",
         "[a]", "[ab[c]]", "[[p]]", "K", "H", "I", "Z", "V", "J", "G", "S", "X", "B",
         "init([hi])", "init([])", "real(2)", "real(05)", "lots(5)", "lots(real(3))",
         "[\x00]", "a", "(V 1 2)", "(J K (J H K))", "(J H K)"]


def random_expression(rng, depth):
    if depth == 0 or rng.random() < 0.3:
        return rng.choice(ATOMS)
    name = rng.choice(list(PRIMITIVES))
    arity = PRIMITIVES[name]
    if arity == 0:
        return rng.choice(ATOMS)
    args = ",".join(random_expression(rng, depth - 1) for _ in range(arity))
    return f"{name}({args})"


def random_calls(rng, count):
    for i in range(count):
        expression = random_expression(rng, 4)
        if rng.random() < 0.2:
            # Lazy heads short of arguments, at the top of the term.
            expression = rng.choice(["K", "V", "B", "I", "J"]) + "(" + expression + ")"
        yield f"random call {i}", ("a\\" + expression).encode("latin-1"), None


def main():
    tarn = os.path.abspath(sys.argv[1])
    rng = random.Random(20261208)
    passed = failed = 0
    with tempfile.TemporaryDirectory() as workdir:
        cases = (list(extreme_programs()) + list(random_programs(rng, 1500)) +
                 list(random_calls(rng, 1500)))
        for title, program, want in cases:
            timeout = 60 if not title.startswith("random") else 3
            status, stderr = run(tarn, program, workdir, timeout)
            problem = None
            if status is not None and status < 0:
                problem = f"stopped by signal {-status}: {stderr[-300:]!r}"
            elif b"ASSERTION FAILED" in stderr or b"REDVFAIL" in stderr:
                problem = f"internal stop: {stderr[-300:]!r}"
            elif want is not None and status != want:
                problem = f"status {status}, want {want}: {stderr[-300:]!r}"
            if problem:
                failed += 1
                print(f"FAIL {title}: {problem}\n  program: {program[:200]!r}")
            else:
                passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
