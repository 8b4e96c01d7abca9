#!/usr/bin/env python3
"""The socket examples against real peers on loopback.

Usage: socket_examples.py TARN EXAMPLES_DIR {echo_server|http_get}

echo_server: a Python client sends text and binary bytes (more than one receive buffer's worth)
to examples/echo_server.tarn, ends its side, and must get every byte back; the server prints the
count and exits 0. http_get: a small HTTP server in Python answers examples/http_get.tarn, which
must send a well-formed HTTP/1.0 request and print the response byte for byte; a port where
nothing listens gives status 2.
"""
import os
import socket
import subprocess
import sys
import threading

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from loopback_peers import (  # noqa: E402
    TIMEOUT, check, connect_when_listening, failures, free_port, read_until_eof)

TARN = os.path.abspath(sys.argv[1])
EXAMPLES = os.path.abspath(sys.argv[2])


def echo_server():
    payload = b"hello echo\n" + bytes(range(256)) * 64 + b"\x00end"
    for attempt in range(3):
        port = free_port()
        server = subprocess.Popen([TARN, os.path.join(EXAMPLES, "echo_server.tarn"), str(port)],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        conn = connect_when_listening(port, lambda: server.poll() is None)
        if conn is None:
            server.kill()
            server.communicate()
            continue  # another process took the port first
        back = {}

        def reader():
            back["data"] = read_until_eof(conn)

        # Read while writing, so neither side's buffers fill up.
        receiving = threading.Thread(target=reader, daemon=True)
        receiving.start()
        conn.sendall(payload)
        conn.shutdown(socket.SHUT_WR)
        receiving.join(TIMEOUT)
        conn.close()
        try:
            out, err = server.communicate(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            server.kill()
            out, err = server.communicate()
        check("echo bytes", back.get("data") == payload,
              f"{len(back.get('data') or b'')} of {len(payload)} bytes")
        check("echo status", server.returncode == 0, f"status {server.returncode}, stderr {err!r}")
        check("echo report", out == f"echoed {len(payload)} bytes\n".encode(), repr(out))
        return
    check("echo server listens", False, "no connection after three ports")


def http_get():
    body = b"<html><body>Hello from a loopback server.</body></html>\n"
    response = (b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                b"Content-Length: %d\r\n\r\n" % len(body)) + body
    listener = socket.socket()
    listener.settimeout(TIMEOUT)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    port = listener.getsockname()[1]
    seen = {}

    def serve():
        try:
            conn, _ = listener.accept()
            with conn:
                conn.settimeout(TIMEOUT)
                request = b""
                while b"\r\n\r\n" not in request:
                    chunk = conn.recv(4096)
                    if not chunk:
                        break
                    request += chunk
                seen["request"] = request
                conn.sendall(response)
        except OSError as e:
            seen["error"] = repr(e)
        finally:
            listener.close()

    server = threading.Thread(target=serve, daemon=True)
    server.start()
    path = os.path.join(EXAMPLES, "http_get.tarn")
    try:
        run = subprocess.run([TARN, path, "localhost", str(port), "/index.html"],
                             capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        check("http_get finishes", False, "timed out")
        return
    server.join(TIMEOUT)
    want = b"GET /index.html HTTP/1.0\r\nHost: localhost\r\n\r\n"
    check("http_get request", seen.get("request") == want, repr(seen))
    check("http_get output", run.stdout == response, repr(run.stdout))
    check("http_get status", run.returncode == 0, f"status {run.returncode}, {run.stderr!r}")

    # A bound port that does not listen refuses every address of localhost.
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    try:
        run = subprocess.run([TARN, path, "127.0.0.1", str(closed.getsockname()[1]), "/"],
                             capture_output=True, timeout=TIMEOUT)
        check("http_get refused", run.returncode == 2 and run.stdout == b"",
              f"status {run.returncode}, {run.stdout!r}")
    except subprocess.TimeoutExpired:
        check("http_get refused", False, "timed out")
    finally:
        closed.close()


def main():
    {"echo_server": echo_server, "http_get": http_get}[sys.argv[3]]()
    if failures:
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
