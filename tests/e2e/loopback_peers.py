"""What the socket tests share: their checks and the Python side of a loopback connection."""
import socket
import time

TIMEOUT = 20
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")
        print(f"FAIL {name}: {detail}")


def free_port():
    """A port on 127.0.0.1 that nothing used a moment ago (another process may take it)."""
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def connect_when_listening(port, still_starting=lambda: True):
    """Connects to 127.0.0.1:port, retrying while it refuses, the server is still_starting() and
    TIMEOUT has not passed; None when it never listened."""
    deadline = time.monotonic() + TIMEOUT
    while still_starting() and time.monotonic() < deadline:
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT)
        except ConnectionRefusedError:
            time.sleep(0.05)
    return None


def read_until_eof(conn):
    data = b""
    while True:
        chunk = conn.recv(65536)
        if not chunk:
            return data
        data += chunk
