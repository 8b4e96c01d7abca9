#!/usr/bin/env python3
"""Extreme inputs, running out of memory, and the files the interpreter writes by itself.

    hardening.py TARN [--sanitized]

Each check runs the real binary and expects an exit status (a result, or 1 with a report),
never a signal. Program texts too large for a .cases file are generated here: nesting in each
bracket kind, long spines, a long list in a "Range" report, a numeral of a million digits.
Out-of-memory checks that need an address-space limit run only outside the sanitizer build
(AddressSanitizer reserves more address space than any such limit allows). The link checks
run the interpreter in a private mount namespace whose /tmp is a fresh directory, so that a
link can be planted at the fixed paths without touching the machine's own /tmp.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

OOM = b"tarn: out of memory\n"


class Runner:
    def __init__(self, tarn, workdir, sanitized):
        self.tarn = tarn
        self.sanitized = sanitized
        self.workdir = workdir
        self.failures = 0
        self.passed = 0

    def run(self, program, timeout=300, limit_bytes=None, wrap=None):
        path = os.path.join(self.workdir, "program.tarn")
        with open(path, "wb") as f:
            f.write(program)

        def limit():
            if limit_bytes:
                resource.setrlimit(resource.RLIMIT_AS, (limit_bytes, limit_bytes))

        command = (wrap or []) + [self.tarn, path]
        try:
            proc = subprocess.run(command, capture_output=True, timeout=timeout,
                                  stdin=subprocess.DEVNULL, preexec_fn=limit)
        except subprocess.TimeoutExpired:
            return None, b"", b""
        return proc.returncode, proc.stdout, proc.stderr

    def check(self, title, program, status, stderr_start=None, stderr=None, **kw):
        started = time.monotonic()
        code, _, err = self.run(program, **kw)
        title += " (%.1fs)" % (time.monotonic() - started)
        problem = None
        if code is None:
            problem = "did not finish"
        elif code < 0:
            problem = "killed by signal %d" % -code
        elif status is not None and code != status:
            problem = "status %d, expected %d" % (code, status)
        elif stderr is not None and err != stderr:
            problem = "stderr %r, expected %r" % (err[:200], stderr[:200])
        elif stderr_start is not None and not err.startswith(stderr_start):
            problem = "stderr %r, expected it to start with %r" % (err[:200], stderr_start)
        self.report(title, problem)

    def report(self, title, problem):
        if problem:
            self.failures += 1
            print("FAIL %s: %s" % (title, problem))
        else:
            self.passed += 1
            print("ok   %s" % title)


def extremes(r):
    n = 100_000
    r.check("parentheses nested 10^5 deep", b"a\\" + b"(" * n + b"7" + b")" * n, 7)
    r.check("brackets nested 10^5 deep", b"a\\rank(" + b"[" * n + b"]" * n + b")", (2 * n) % 256)
    r.check("wings nested 10^5 deep", b"a\\" + b"{" * n + b"}" * n + b"7", 1,
            stderr_start=b"\x1b[mError.\n")
    # Beyond what the sanitizer build's recursion once held on its stack. That build's frames
    # take some 3.6 KiB a level, so it runs a depth its memory allows here (its unit tests show
    # recursion moving on to fresh stacks).
    deep = 600_000 if r.sanitized else 3_000_000
    r.check("applications nested %d deep" % deep, b"a\\" + b"(I " * deep + b"7" + b")" * deep, 7)
    r.check("differences nested %d deep" % deep, b"a\\" + b"(0-" * deep + b"7" + b")" * deep, 7)
    # Spines written out in the program text: the parser folds a left spine in a loop and keeps
    # only a handle a level for a right one, and every linking walk is iterative.
    cells = 10 ** 6 if r.sanitized else 10 ** 7
    r.check("a left spine of %d cells in the program text" % cells,
            b"a\\" + b"I " * cells + b"7", 7)
    r.check("a right spine of %d cells in the program text" % cells,
            b"a\\" + b"I(" * cells + b"7" + b")" * cells, 7)
    r.check("a chain of %d sums in the program text" % cells,
            b"a\\" + b"0+" * cells + b"7", 7)
    r.check("a left spine of 10^7 cells", b"a\\(rank(cork(0,[z],[a]*10000000))>10000000)(7,3)", 7)
    r.check("its last element", b"a\\(look(9999999,cork(0,[z],[a]*10000000))=look(0,[a]))(7,3)", 7)
    r.check("a right spine of 10^7 cells", b"a\\(type(lots(init(255)*1250000))=[hint])(7,3)", 7)
    r.check("a right spine of 10^7 cells as the result",
            b"a\\leaf(lots(init(255)*1250000))", 1, stderr_start=b"\x1b[mError.\n Type: Range\n")
    listing = r.run(b"a\\mk(1000000),mk\\k\\(k<1)(K,V k (mk(k-1)))")
    problem = None
    if listing[0] != 1 or not listing[2].startswith(b"\x1b[mError.\n Type: Range\n") \
            or len(listing[2]) < 6_000_000:
        problem = "status %r, %d bytes on stderr" % (listing[0], len(listing[2]))
    r.report("a list of 10^6 elements in a Range report", problem)
    digits = 10 ** 6
    remainder = (pow(10, digits, 256) - 1) % 256  # of 10^digits - 1, written as nines
    r.check("a numeral of 10^6 digits", b"a\\(" + b"9" * digits + b"%256)", remainder)
    r.check("its length", b"a\\rank(" + b"9" * digits + b")", digits % 256)


def out_of_memory(r):
    # The address space is limited so that a result the machine could hold cannot be had:
    # the allocation fails, and the handler reports it.
    limit = 6 << 30
    r.check("a text larger than the address space left", b"a\\rank(init([a])*3000000000)", 1,
            stderr=OOM, limit_bytes=limit)
    r.check("data flattened beyond it", b"a\\rank(init(dd dd dd dd)),dd\\[ab]*400000000",
            1, stderr=OOM, limit_bytes=limit)


def links(r):
    """A link planted at the fixed paths is not followed; without one the files are written."""
    if shutil.which("unshare") is None or subprocess.run(
            ["unshare", "-rm", "true"], capture_output=True).returncode != 0:
        print("SKIP links: no private mount namespace on this machine")
        return
    for name, program in ((b"redv.log", b"a\\twice(3),twice\\num\\num+num"),
                          (b"both.bug", b"a\\rank(004+004)*0+6")):
        private = tempfile.mkdtemp(dir=r.workdir)
        # The program and the interpreter are opened before the private /tmp hides the
        # directories that hold them (a build may itself live under /tmp).
        wrap = ["unshare", "-rm", "sh", "-c",
                'exec 3<"$2" 4<"$1" && mount --bind "$0" /tmp && exec /proc/self/fd/4 /dev/fd/3',
                private]
        path = os.path.join(private, name.decode())
        code, _, err = r.run(program, wrap=wrap)
        written = os.path.exists(path) and os.path.getsize(path) > 0
        r.report("/tmp/%s is written where nothing stands" % name.decode(),
                 None if code == 6 and written else "status %r, written %r, %r" % (code, written, err))
        os.remove(path) if os.path.exists(path) else None
        target = os.path.join(private, "target")
        open(target, "wb").close()
        os.symlink(target, path)
        code, _, err = r.run(program, wrap=wrap)
        problem = None
        if code != 6:
            problem = "status %r, %r" % (code, err)
        elif os.path.getsize(target) != 0:
            problem = "the link was followed"
        elif not os.path.islink(path):
            problem = "the link was replaced"
        r.report("a link at /tmp/%s is not followed" % name.decode(), problem)


def main():
    tarn = os.path.abspath(sys.argv[1])
    sanitized = "--sanitized" in sys.argv[2:]
    with tempfile.TemporaryDirectory() as workdir:
        r = Runner(tarn, workdir, sanitized)
        extremes(r)
        if not sanitized:
            out_of_memory(r)
        links(r)
    print("%d passed, %d failed" % (r.passed, r.failures))
    return 1 if r.failures else 0


if __name__ == "__main__":
    sys.exit(main())
