#!/usr/bin/env python3
"""A web site that answers every request with one kind of hostile answer, as fast as the
client takes it, until the client goes away (at most ten minutes); or, for comparison, with the
program's own version.

Usage: hostile_web_site.py KIND, KIND one of the names in ANSWERS. Prints "port N" once it
listens on 127.0.0.1.
"""
import socketserver
import sys
import time

# The program's own version: an update file that offers nothing new.
SAME_VERSION = b"4.1 beta\r\n"


def repeated(head, piece):
    """The head, then the piece again and again."""
    yield head
    block = piece * max(1, 65536 // len(piece))
    while True:
        yield block


def one_byte_chunks(size):
    """A body of SIZE bytes, the update file of the same version, each byte a chunk."""
    body = SAME_VERSION + b"x" * (size - len(SAME_VERSION))
    yield b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
    for at in range(0, len(body), 4096):
        yield b"".join(b"1\r\n%c\r\n" % c for c in body[at:at + 4096])
    yield b"0\r\n\r\n"


CHUNKED = b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
ANSWERS = {
    # No hostile answer: the file of the program's own version, for comparison.
    "same-version": lambda: iter([b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n%s"
                                  % (len(SAME_VERSION), SAME_VERSION)]),
    "header-lines": lambda: repeated(b"HTTP/1.1 200 OK\r\n", b"X-Filler: " + b"f" * 50 + b"\r\n"),
    "header-line": lambda: repeated(b"HTTP/1.1 200 OK\r\nX-Filler: ", b"f"),
    "continues": lambda: repeated(b"", b"HTTP/1.1 100 Continue\r\n\r\n"),
    "chunk-size": lambda: repeated(CHUNKED, b"0"),
    "chunk-extension": lambda: repeated(CHUNKED + b"1;", b"x"),
    "one-byte-chunks": lambda: one_byte_chunks(1000000),
}


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request:
            data = self.request.recv(4096)
            if not data:
                return
            request += data
        until = time.monotonic() + 600
        try:
            for piece in ANSWERS[sys.argv[1]]():
                self.request.sendall(piece)
                if time.monotonic() > until:
                    break
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in ANSWERS:
        sys.exit("usage: hostile_web_site.py " + "|".join(ANSWERS))
    with Server(("127.0.0.1", 0), Handler) as server:
        print("port", server.server_address[1], flush=True)
        server.serve_forever()
