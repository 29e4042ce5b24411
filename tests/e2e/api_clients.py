"""Raw-socket clients of the text API for the end-to-end script api_test.sh.

    api_clients.py PORT framing            greeting, pipelined and split requests
    api_clients.py PORT gettext FILE       GetText's reply line equals the bytes of FILE
    api_clients.py PORT hostile            misbehaving clients, then a crowd over the limit
    api_clients.py PORT burst              100 clients connecting at the same instant
    api_clients.py PORT goodbye READYFILE  stays connected; expects the goodbye line at shut-down

Exits 1 with a "FAIL: ..." line when the program does not behave.
"""

import random
import socket
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor

GREETING = b'Hello. This is "Kavio 1.32" server...'
BLOCKED = b"Connection was blocked with application."
GOODBYE_PREFIX = b'Bye bye at "Kavio 1.32". '
MAX_CLIENTS = 64
RECEIVE_LIMIT = 64 << 20


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


def in_thread(target, *args, result):
    """A thread whose failure or error is collected in `result` instead of being lost."""
    def run():
        try:
            target(*args)
        except Exception as error:  # every error of a client is a finding
            result.append(f"{target.__name__}: {error!r}")
    return threading.Thread(target=run)


class Client:
    def __init__(self, port, timeout=10.0):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self.buffer = b""

    def line(self, timeout=10.0):
        """The next line without CR LF; None when the connection ended first."""
        deadline = time.monotonic() + timeout
        while b"\r\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no complete line")
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                raise TimeoutError("no complete line") from None
            except ConnectionResetError:
                chunk = b""
            if not chunk:
                return None
            self.buffer += chunk
        line, _, self.buffer = self.buffer.partition(b"\r\n")
        return line

    def ended(self, timeout):
        """Whether the peer ends the connection within `timeout`; what it sent meanwhile is
        kept in the buffer."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.sock.settimeout(max(deadline - time.monotonic(), 0.01))
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                return False
            except (ConnectionResetError, BrokenPipeError):
                return True
            if not chunk:
                return True
            self.buffer += chunk
        return False

    def greeted(self):
        first = self.line()
        if first != GREETING:
            fail(f"greeting was {first!r}")
        return self

    def close(self):
        self.sock.close()


def framing(port):
    c = Client(port).greeted()
    # (chunks sent one after another, replies expected after the last)
    cases = [
        ([b"noop\r\nNOOP\r\n"], [b"Successed", b"Successed"]),
        ([b"NoSuchFunction some argument\r\n\r\n"], [b"Function NotFound", b"Function NotFound"]),
        ([b"GetBook\r\n", b"GetBookCount\r\n"], [b"", b"1"]),
        # A request split over two segments runs when its line end arrives, and not before.
        ([b"No", b"op"], []),
        ([b"\r\n"], [b"Successed"]),
    ]
    for chunks, replies in cases:
        for chunk in chunks:
            c.sock.sendall(chunk)
            time.sleep(0.1)
        got = [c.line() for _ in replies]
        if got != replies:
            fail(f"after {chunks!r} the replies were {got!r}, expected {replies!r}")
        if not replies:
            try:
                early = c.line(timeout=0.5)
                fail(f"an incomplete request was answered: {early!r}")
            except TimeoutError:
                pass
    c.close()


def gettext(port, path):
    expected = open(path, "rb").read()
    c = Client(port).greeted()
    c.sock.sendall(b"GetText\r\n")
    got = c.line()
    if got != expected:
        fail(f"GetText replied {got!r}, expected {expected!r}")
    c.close()


def hold_incomplete(port, stop, result):
    """Sends a request without its line end and stays: it must never run."""
    c = Client(port).greeted()
    c.sock.sendall(b"SetText written by a client that never ends its line")
    stop.wait()
    if c.ended(0.2):
        result.append("the server closed a client that only sent an incomplete line")
    c.close()


def flood(port, result):
    """Sends one request line of 100 MiB: the client must be disconnected at the receive limit,
    and the request must not run."""
    c = Client(port).greeted()
    chunk = b"A" * (1 << 20)
    sent = 0
    try:
        c.sock.settimeout(30)
        c.sock.sendall(b"SetText ")
        for _ in range(100):
            c.sock.sendall(chunk)
            sent += len(chunk)
        c.sock.sendall(b"\r\n")
    except (ConnectionResetError, BrokenPipeError):
        pass
    else:
        if not c.ended(10):
            result.append(f"a client that sent {sent >> 20} MiB in one line stayed connected")
    if sent < RECEIVE_LIMIT - (1 << 20):
        result.append(f"the connection was cut after only {sent >> 20} MiB")
    if b"Successed" in c.buffer:
        result.append("the 100 MiB request was executed")
    c.close()


def binary(port, result):
    """Random bytes in lines: each line is answered (no such function), and the connection
    still works afterwards."""
    rng = random.Random(20240611)
    payload = b"".join(bytes(rng.randrange(256) for _ in range(rng.randrange(0, 3000))) + b"\r\n"
                       for _ in range(40))
    lines = payload.count(b"\r\n")
    c = Client(port).greeted()
    c.sock.sendall(payload + b"Noop\r\n")
    try:
        replies = [c.line(timeout=15) for _ in range(lines + 1)]
    except TimeoutError:
        result.append("random binary lines were not all answered")
        return
    if replies[:-1] != [b"Function NotFound"] * lines:
        result.append(f"random binary lines got unexpected replies: {set(replies[:-1])!r}")
    if replies[-1] != b"Successed":
        result.append(f"Noop after binary lines replied {replies[-1]!r}")
    c.close()


def crowd(port):
    """More clients at once than the limit: the first ones are served, the rest get the
    blocked line and are closed, and whatever they send never runs. Each client connects once
    the previous one has its first line, so the listener's short queue never overflows (see
    burst)."""
    count = 100
    clients = []
    for _ in range(count):
        c = Client(port)
        clients.append((c, c.line()))
    served = [c for c, first in clients if first == GREETING]
    blocked = [c for c, first in clients if first == BLOCKED]
    if len(served) + len(blocked) != count:
        fail(f"unexpected first lines: {set(first for _, first in clients)!r}")
    if len(served) != MAX_CLIENTS:
        fail(f"{len(served)} of {count} clients at once were served, expected {MAX_CLIENTS}")
    for c in blocked:
        try:
            c.sock.sendall(b"SetText written by a blocked client\r\n")
        except (ConnectionResetError, BrokenPipeError):
            pass
    for c in served:
        c.sock.sendall(b"Noop\r\n")
    for c in served:
        if c.line() != b"Successed":
            fail("a served client of the crowd got no answer to Noop")
    for c in blocked:
        if not c.ended(5):
            fail("a blocked client was not closed")
        if c.buffer:
            fail(f"a blocked client received {c.buffer!r}")
    for c in served + blocked:
        c.close()


def burst(port):
    """100 clients connecting at the same instant: each must hear from the server, the
    greeting or the blocked line, and no more than the limit may be served."""
    count = 100
    start = threading.Barrier(count)

    def one(_):
        start.wait()
        c = Client(port, timeout=30)
        try:
            return c, c.line(timeout=10)
        except TimeoutError:
            return c, None

    with ThreadPoolExecutor(max_workers=count) as pool:
        clients = list(pool.map(one, range(count)))
    silent = sum(1 for _, first in clients if first is None)
    served = sum(1 for _, first in clients if first == GREETING)
    for c, _ in clients:
        c.close()
    if silent:
        fail(f"{silent} of {count} clients of a burst were connected but never greeted or blocked")
    if served > MAX_CLIENTS:
        fail(f"{served} clients of a burst were served, more than {MAX_CLIENTS}")


def hostile(port):
    stop = threading.Event()
    result = []
    holder = in_thread(hold_incomplete, port, stop, result, result=result)
    holder.start()
    others = [in_thread(f, port, result, result=result) for f in (flood, binary)]
    for t in others:
        t.start()
    for t in others:
        t.join()
    stop.set()
    holder.join()
    if result:
        fail("; ".join(result))
    # The server notices the closed connections asynchronously; let it free their places.
    time.sleep(1.0)
    crowd(port)


def goodbye(port, ready_file):
    c = Client(port).greeted()
    open(ready_file, "w").close()
    if not c.ended(20):
        fail("the connection stayed open after shut-down")
    last = c.buffer.split(b"\r\n")
    if len(last) < 2 or last[-1] != b"" or not last[-2].startswith(GOODBYE_PREFIX):
        fail(f"no goodbye line at shut-down, received {c.buffer!r}")


def main():
    port, mode, *rest = sys.argv[1:]
    port = int(port)
    if mode == "framing":
        framing(port)
    elif mode == "gettext":
        gettext(port, rest[0])
    elif mode == "hostile":
        hostile(port)
    elif mode == "burst":
        burst(port)
    elif mode == "goodbye":
        goodbye(port, rest[0])
    else:
        fail(f"unknown mode {mode}")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"FAIL: {failure}", flush=True)
        sys.exit(1)
    except OSError as error:
        print(f"FAIL: {error!r}", flush=True)
        sys.exit(1)
