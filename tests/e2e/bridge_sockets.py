#!/usr/bin/env python3
"""Socket built-ins end to end: programs in the language talk to peers written in Python.

Usage: bridge_sockets.py TARN

Each case writes a program, starts its peer (a thread with its own listening or datagram socket
on a port the kernel picked), runs tarn with a bounded timeout and checks the exit status and the
bytes each side received. Loopback addresses only. The programs take their scratch memory from
their own arguments: argument strings are writable memory of the process, and a long run of dots
is a buffer of known size.
"""
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from loopback_peers import (  # noqa: E402
    TIMEOUT, check, connect_when_listening, failures, free_port, read_until_eof)

TARN = os.path.abspath(sys.argv[1])

# Definitions shared by the programs.
HELPERS = r"""
arg\a\k\getw(a+8*k),
istext\p\t\k\(k=rank(t))(getx(p+k)=0,(getx(p+k)=look(k,t))(istext(p,t,k+1),H)),
meq\p\q\(getx(p)=getx(q))((getx(p)=0)(K,meq(p+1,q+1)),H),
len\p\(getx(p)=0)(0,1+len(p+1)),
recvall\s\b\n\k\(k<n)(r{recv(s,b+k,n-k,0)}(r<1)(k,recvall(s,b,n,k+r)),k),
sendnum\s\n\t{init(lisp(n))}send(s,t,rank(t),0),
inet\m\p\h\x{sett(m,2)}y{sett(m+2,htons(p))}z{setw(m+8,0)}inet_pton(2,h,m+4)
"""

SCRATCH = "." * 600


def run_tarn(program, *args):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "p.tarn")
        with open(path, "w") as f:
            f.write(program.strip() + ",\n" + HELPERS.strip() + "\n")
        try:
            return subprocess.run([TARN, path, *args], capture_output=True, timeout=TIMEOUT, cwd=d)
        except subprocess.TimeoutExpired:
            return None


def status_of(name, result, expected):
    if result is None:
        check(name, False, "timed out")
        return
    check(name, result.returncode == expected,
          f"status {result.returncode}, expected {expected}; stderr {result.stderr[-300:]!r}")


class Peer(threading.Thread):
    """Runs serve(sock) on a thread; the socket is bound to 127.0.0.1 with a kernel-picked port."""

    def __init__(self, serve, kind=socket.SOCK_STREAM, listen=True, family=socket.AF_INET,
                 host="127.0.0.1"):
        super().__init__(daemon=True)
        self.sock = socket.socket(family, kind)
        self.sock.settimeout(TIMEOUT)
        self.sock.bind((host, 0))
        if kind == socket.SOCK_STREAM and listen:
            self.sock.listen(1)
        self.port = self.sock.getsockname()[1]
        self.serve = serve
        self.got = {}
        self.error = None

    def run(self):
        try:
            self.serve(self.sock, self.got)
        except Exception as e:  # reported by the case
            self.error = repr(e)
        finally:
            self.sock.close()

    def finish(self, name):
        self.join(TIMEOUT)
        check(name, not self.is_alive() and self.error is None, f"peer: {self.error}")


def sockaddr_in(address):
    host, port = address[:2]
    return struct.pack("<H", socket.AF_INET) + struct.pack(">H", port) + \
        socket.inet_aton(host) + bytes(8)


# A client connects, sends a text, receives binary bytes, sends them back from its buffer, shuts
# its side down, sees the peer's end of stream and closes.
def tcp_client():
    reply = b"reply:\x00\xff\x80 bytes\n"

    def serve(sock, got):
        conn, _ = sock.accept()
        with conn:
            conn.settimeout(TIMEOUT)
            data = b""
            while len(data) < 10:
                data += conn.recv(64)
            got["hello"] = data
            conn.sendall(reply)
            got["echo"] = read_until_eof(conn)

    peer = Peer(serve)
    peer.start()
    program = rf"""
a\m{{arg(a,2)}}b{{m+16}}i{{inet(m,{peer.port},arg(a,3))}}s{{socket(2,1,0)}}c{{connect(s,m,16)}}n{{send(s,init([hello peer]),10,0)}}r{{recvall(s,b,{len(reply)},0)}}e{{send(s,b,r,0)}}h{{shutdown(s,1)}}z{{recv(s,b,64,0)}}k{{closesocket(s)}}(i=1)((s>2)((c=0)((n=10)((e=r)((h=0)((z=0)((k=0)(r,8),7),6),5),4),3),2),1)
"""
    status_of("tcp client", run_tarn(program, SCRATCH, "127.0.0.1"), len(reply))
    peer.finish("tcp client")
    check("tcp client sends", peer.got.get("hello") == b"hello peer", repr(peer.got.get("hello")))
    check("tcp client echoes", peer.got.get("echo") == reply, repr(peer.got.get("echo")))


# The same over ::1, with a 28-byte IPv6 socket address; skipped where the kernel has no ::1.
def tcp_client_v6():
    try:
        probe = socket.socket(socket.AF_INET6)
        probe.bind(("::1", 0))
        probe.close()
    except OSError:
        print("skip tcp over ::1: no IPv6 loopback")
        return

    def serve(sock, got):
        conn, _ = sock.accept()
        with conn:
            conn.settimeout(TIMEOUT)
            got["hello"] = conn.recv(64)
            conn.sendall(b"\x06six")
            got["echo"] = read_until_eof(conn)

    peer = Peer(serve, family=socket.AF_INET6, host="::1")
    peer.start()
    program = rf"""
a\m{{arg(a,2)}}b{{m+32}}w{{setw(m,0)}}x{{setw(m+8,0)}}y{{setw(m+16,0)}}z{{setw(m+24,0)}}f{{sett(m,10)}}p{{sett(m+2,htons({peer.port}))}}i{{inet_pton(10,arg(a,3),m+8)}}s{{socket(10,1,0)}}c{{connect(s,m,28)}}n{{send(s,init([six]),3,0)}}r{{recvall(s,b,4,0)}}e{{send(s,b,r,0)}}h{{shutdown(s,1)}}z{{recv(s,b,64,0)}}k{{closesocket(s)}}(i=1)((c=0)((n=3)((e=r)((z+k=0)(r,5),4),3),2),1)
"""
    status_of("tcp over ::1", run_tarn(program, SCRATCH, "::1"), 4)
    peer.finish("tcp over ::1")
    check("tcp over ::1 bytes", peer.got.get("hello") == b"six" and peer.got.get("echo") == b"\x06six",
          repr(peer.got))


# A server binds with SO_REUSEADDR, accepts one client, sends back the client's address as accept
# and getpeername wrote it, then echoes five bytes and closes both sockets.
def tcp_server():
    port = free_port()
    program = rf"""
a\m{{arg(a,2)}}p{{m+16}}q{{m+32}}v{{m+48}}l{{m+52}}b{{m+64}}i{{inet(m,{port},arg(a,3))}}s{{socket(2,1,0)}}o{{setu(v,1)}}r{{setsockopt(s,1,2,v,4)}}x{{bind(s,m,16)}}y{{listen(s,1)}}w{{setu(l,16)}}c{{accept(s,p,l)}}u{{setu(l,16)}}g{{getpeername(c,q,l)}}d{{send(c,p,16,0)}}e{{send(c,q,16,0)}}n{{recvall(c,b,5,0)}}f{{send(c,b,n,0)}}j{{closesocket(c)}}k{{closesocket(s)}}(r=0)((x=0)((y=0)((c>s)((g=0)((getu(l)=16)((d+e+f=37)((j+k=0)(0,8),7),6),5),4),3),2),1)
"""
    outcome = {}

    def client():
        conn = connect_when_listening(port)
        if conn is None:
            outcome["error"] = "server never listened"
            return
        with conn:
            outcome["me"] = sockaddr_in(conn.getsockname())
            conn.sendall(b"\x01\x00ab\xfe")
            outcome["back"] = read_until_eof(conn)

    talker = threading.Thread(target=client, daemon=True)
    talker.start()
    status_of("tcp server", run_tarn(program, SCRATCH, "127.0.0.1"), 0)
    talker.join(TIMEOUT)
    back, me = outcome.get("back", b""), outcome.get("me")
    check("tcp server client", "error" not in outcome and me is not None, repr(outcome))
    check("tcp server accept address", back[:16] == me, f"{back[:16]!r} vs {me!r}")
    check("tcp server peer name", back[16:32] == me, f"{back[16:32]!r} vs {me!r}")
    check("tcp server echo", back[32:] == b"\x01\x00ab\xfe", repr(back[32:]))


# A datagram goes out with sendto; the reply comes in with recvfrom, whose source address is the
# peer's; the program sends the reply back to that address.
def udp_exchange():
    reply = b"\x00udp\xffreply"

    def serve(sock, got):
        data, source = sock.recvfrom(256)
        got["first"] = data
        sock.sendto(reply, source)
        data, again = sock.recvfrom(256)
        got["second"], got["same source"] = data, again == source

    peer = Peer(serve, kind=socket.SOCK_DGRAM)
    peer.start()
    program = rf"""
a\m{{arg(a,2)}}f{{m+16}}l{{m+32}}b{{m+40}}i{{inet(m,{peer.port},arg(a,3))}}u{{socket(2,2,0)}}n{{sendto(u,init([datagram one]),12,0,m,16)}}w{{setu(l,16)}}r{{recvfrom(u,b,64,0,f,l)}}e{{sendto(u,b,r,0,f,getu(l))}}k{{closesocket(u)}}(n=12)((getu(l)=16)((ntohs(gett(f+2))={peer.port})((meq(f+4,m+4))((e=r)((k=0)(r,6),5),4),3),2),1)
"""
    status_of("udp", run_tarn(program, SCRATCH, "127.0.0.1"), len(reply))
    peer.finish("udp")
    check("udp sendto", peer.got.get("first") == b"datagram one", repr(peer.got.get("first")))
    check("udp recvfrom and back", peer.got.get("second") == reply, repr(peer.got.get("second")))
    check("udp source address", peer.got.get("same source"), repr(peer.got))


# A bound port that does not listen refuses: -1, and errno is ECONNREFUSED.
def refused():
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    port = closed.getsockname()[1]
    program = rf"""
a\m{{arg(a,2)}}i{{inet(m,{port},arg(a,3))}}s{{socket(2,1,0)}}c{{connect(s,m,16)}}e{{errno}}k{{closesocket(s)}}(c=01)((k=0)(e,201),200)
"""
    status_of("refused connection", run_tarn(program, SCRATCH, "127.0.0.1"), 111)
    closed.close()


# getaddrinfo of "localhost" for any socket type (an entry per type and address): the program walks the list (ai_addr at 24, ai_canonname at 32,
# ai_next at 40) and reports every entry over a connection; Python's resolver, the same
# library call, gives the expected list.
def resolve_localhost():
    def serve(sock, got):
        conn, _ = sock.accept()
        with conn:
            conn.settimeout(TIMEOUT)
            got["report"] = read_until_eof(conn)

    peer = Peer(serve)
    peer.start()
    service = "4321"
    program = rf"""
a\m{{arg(a,2)}}h{{m+16}}l{{m+64}}b{{m+72}}i{{inet(m,{peer.port},arg(a,3))}}s{{socket(2,1,0)}}c{{connect(s,m,16)}}z{{zero(h,0)}}f{{setu(h,2)}}g{{setu(h+4,af_unspec)}}t{{setu(h+8,0)}}r{{getaddrinfo(arg(a,4),arg(a,5),h,l)}}p{{getw(l)}}o{{canon(s,getw(p+32),b)}}n{{walk(s,p,b)}}x{{freeaddrinfo(p)}}k{{closesocket(s)}}(c=0)((r=0)(n,2),1),
zero\h\k\(k<48)(x{{setw(h+k,0)}}zero(h,k+8),0),
put\s\c\b\x{{setx(b,c)}}send(s,b,1,0),
canon\s\c\b\x{{send(s,c,len(c),0)}}put(s,10,b),
walk\s\p\b\(p=0)(0,x{{entry(s,p,b)}}1+walk(s,getw(p+40),b)),
entry\s\p\b\f{{gets(p+4)}}a{{getw(p+24)}}t{{inet_ntop(f,a+((f=2)(4,8)),b,64)}}x{{sendnum(s,f)}}y{{put(s,32,b+64)}}w{{sendnum(s,gets(p+8))}}v{{put(s,32,b+64)}}u{{sendnum(s,gets(p+12))}}q{{put(s,32,b+64)}}o{{sendnum(s,getu(p+16))}}n{{put(s,32,b+64)}}m{{send(s,t,len(t),0)}}k{{put(s,32,b+64)}}j{{sendnum(s,ntohs(gett(a+2)))}}put(s,10,b+64)
"""
    result = run_tarn(program, SCRATCH, "127.0.0.1", "localhost", service)
    expected = socket.getaddrinfo("localhost", service, socket.AF_UNSPEC, 0, 0,
                                  socket.AI_CANONNAME)
    status_of("getaddrinfo", result, len(expected))
    peer.finish("getaddrinfo")
    lines = [expected[0][3]]
    for family, kind, proto, _, address in expected:
        size = 16 if family == socket.AF_INET else 28
        lines.append(f"{int(family)} {int(kind)} {proto} {size} {address[0]} {address[1]}")
    want = ("\n".join(lines) + "\n").encode()
    check("getaddrinfo list", peer.got.get("report") == want,
          f"{peer.got.get('report')!r} vs {want!r}")


# Conversions that need no peer: byte order, presentation forms, name lookups without DNS,
# the library's message texts and the fd_set record's bounds.
def gai_text(code):
    try:
        socket.getaddrinfo("not-an-address", None, flags=socket.AI_NUMERICHOST)
    except socket.gaierror as e:
        assert e.errno == code
        return e.strerror
    raise AssertionError("a numeric lookup of a name succeeded")


def conversions():
    cases = [
        ("byte order", r"a\(htons(80)=20480)((ntohs(20480)=80)((htonl(01)=4294967295)((ntohl(1)=16777216)((htons(65616)=20480)(0,5),4),3),2),1)", [], 0),
        ("inet_pton and inet_ntop v4",
         r"a\s{arg(a,2)}p{inet_pton(2,arg(a,3),s)}n{inet_ntop(2,s,s+8,16)}(p=1)((getu(s)=16777343)((n=s+8)((istext(n,init([127.0.0.1]),0))((inet_pton(2,arg(a,4),s)=0)(0,5),4),3),2),1)",
         [SCRATCH, "127.0.0.1", "1.2.3.999"], 0),
        ("inet_pton and inet_ntop v6",
         r"a\s{arg(a,2)}p{inet_pton(10,arg(a,3),s)}n{inet_ntop(10,s,s+16,46)}(p=1)((getw(s)=0)((getw(s+8)=72057594037927936)((istext(n,init([::1]),0))((inet_ntop(10,s,s+16,3)=0)(0,5),4),3),2),1)",
         [SCRATCH, "::1"], 0),
        ("a family the library lacks",
         r"a\s{socket(12345,1,0)}e{errno}(s=01)(e,200)", [], 97),
        ("getnameinfo numeric",
         r"a\m{arg(a,2)}i{inet(m,8080,arg(a,3))}r{getnameinfo(m,16,m+16,64,m+80,32,3)}(r=0)((istext(m+16,init([127.0.0.1]),0))((istext(m+80,init([8080]),0))(0,3),2),1)",
         [SCRATCH, "127.0.0.1"], 0),
        ("getaddrinfo failure and gai_strerror",
         r"a\h{arg(a,2)}z{zero(h,0)}f{setu(h,4)}r{getaddrinfo(arg(a,3),0,h,h+48)}(r=02)((meq(gai_strerror(r),arg(a,4)))(0,2),1),zero\h\k\(k<48)(x{setw(h+k,0)}zero(h,k+8),0)",
         [SCRATCH, "not-an-address", gai_text(socket.EAI_NONAME)], 0),
        ("gethostname", r"a\s{arg(a,2)}r{gethostname(s,256)}(r=0)((meq(s,arg(a,3)))(0,2),1)",
         [SCRATCH, socket.gethostname()], 0),
        # Heap memory of exactly the record's size: the sanitizer build stops at any byte past it.
        ("fd_set on a 520-byte block from malloc",
         r"a\s{malloc(520)}z{setu(s,0)}x{fill(s,3,70)}c{getu(s)}l{getw(s+512)}f{free(s)}(c=64)((l=66)(0,2),1),fill\s\k\m\(k<m)(y{fd_set(k,s)}fill(s,k+1,m),0)",
         [], 0),
        ("fd_set: a large count is a full set, a present socket is not added twice",
         r"a\s{arg(a,2)}z{setu(s,4000000000)}x{fd_set(7,s)}q{getu(s)}o{getx(s+8)}y{setu(s,1)}w{setw(s+8,7)}v{fd_set(7,s)}u{fd_set(8,s)}(q=4000000000)((o=46)((getu(s)=2)((getw(s+16)=8)((getx(s+24)=46)(0,5),4),3),2),1)",
         ["." * 520], 0),
    ]
    for name, program, args, expected in cases:
        status_of(name, run_tarn(program, *args), expected)


def main():
    for case in (conversions, tcp_client, tcp_client_v6, tcp_server, udp_exchange, refused, resolve_localhost):
        case()
    if failures:
        print(f"{len(failures)} failed")
        return 1
    print("all socket cases passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
