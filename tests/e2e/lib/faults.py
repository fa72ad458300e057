#!/usr/bin/env python3
"""A web server that misbehaves on purpose, chosen by the path:
  /file/N       N bytes of a pattern, ranges honoured
  /head405/N    as /file/N, but HEAD gets 405
  /nolength/N   N bytes without Content-Length, ended by closing
  /chunked/N    N bytes, chunked
  /busy/N       every other request gets 503 with Retry-After: 1
  /reset/N      every 4th request is reset halfway through its body
  /mute/N       the head of /file/N, then 40 s of silence
  /silent       nothing at all
  /redirect/K   302 to /redirect/K-1; /redirect/0 to /file/1000
Usage: faults.py PORT"""
import re, socket, socketserver, struct, sys, threading, time

counts, lock, patterns = {}, threading.Lock(), {}

def pattern(n):
    if n not in patterns:
        patterns[n] = bytes((i * 131 + i // 4099) & 255 for i in range(n))
    return patterns[n]

def nth(kind):
    with lock:
        counts[kind] = counts.get(kind, 0) + 1
        return counts[kind]

class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            data += chunk
        head = data.split(b"\r\n\r\n")[0].decode("latin-1")
        method, target = head.split(" ")[:2]
        kind, _, arg = target.split("://")[-1].partition("/")[2].partition("/")
        size = int(arg) if arg.isdigit() else 0
        send = self.request.sendall
        if kind == "silent":
            time.sleep(60)
        elif kind == "redirect":
            where = "/redirect/%d" % (size - 1) if size else "/file/1000"
            send(b"HTTP/1.1 302 Found\r\nLocation: %s\r\nContent-Length: 0\r\n\r\n" % where.encode())
        elif kind == "head405" and method == "HEAD":
            send(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n")
        elif kind == "busy" and nth(kind) % 2:
            send(b"HTTP/1.1 503 Busy\r\nRetry-After: 1\r\nContent-Length: 0\r\n\r\n")
        elif kind == "nolength":
            send(b"HTTP/1.0 200 OK\r\n\r\n" + (b"" if method == "HEAD" else pattern(size)))
        elif kind == "chunked":
            body = pattern(size)
            send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            for at in range(0, len(body), 7001) if method != "HEAD" else []:
                piece = body[at:at + 7001]
                send(b"%x\r\n%s\r\n" % (len(piece), piece))
            send(b"0\r\n\r\n" if method != "HEAD" else b"")
        else:
            self.serve_file(method, head, size, kind)

    def serve_file(self, method, head, size, kind):
        body, status, extra = pattern(size), "200 OK", ""
        found = re.search(r"(?im)^range: *bytes=(\d+)-(\d*)", head)
        if found:
            first = int(found.group(1))
            last = min(int(found.group(2) or size - 1), size - 1)
            body, status = body[first:last + 1], "206 Partial Content"
            extra = "Content-Range: bytes %d-%d/%d\r\n" % (first, last, size)
        self.request.sendall(("HTTP/1.1 %s\r\nAccept-Ranges: bytes\r\n%sContent-Length: %d\r\n\r\n"
                              % (status, extra, len(body))).encode())
        if method == "HEAD":
            return
        if kind == "mute":
            time.sleep(40)
        if kind == "reset" and nth(kind) % 4 == 0:
            self.request.sendall(body[:len(body) // 2])
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        self.request.sendall(body)

class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

if __name__ == "__main__":
    Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
