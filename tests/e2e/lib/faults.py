#!/usr/bin/env python3
"""A web server on 127.0.0.1:PORT misbehaving by path: /file/N (N bytes, ranges);
/head405/N; /nolength/N; /chunked/N; /busy/N (503 + Retry-After: 1 every other
time); /reset/N (every 3rd GET from the 2nd reset halfway); /mute/N (head, then 40 s of silence, the first time);
/silent; /redirect/K (302 to /redirect/K-1, at 0 to /file/1000); /disposition/N
(named report.pdf by Content-Disposition)."""
import collections, functools, itertools, re, socket, socketserver, struct, sys, time

counters = collections.defaultdict(itertools.count)  # per kind, from 0

@functools.lru_cache(4)
def pattern(size):
    return bytes((i * 131 + i // 4099) & 255 for i in range(size))

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
        kind, _, arg = target.split("://")[-1].split("?")[0].partition("/")[2].partition("/")
        size, send = int(arg) if arg.isdigit() else 0, self.request.sendall
        body = pattern(size)
        if kind == "silent":
            time.sleep(60)
        elif kind == "redirect":
            where = b"/redirect/%d" % (size - 1) if size else b"/file/1000"
            send(b"HTTP/1.1 302 Found\r\nLocation: %s\r\nContent-Length: 0\r\n\r\n" % where)
        elif kind == "head405" and method == "HEAD":
            send(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n")
        elif kind == "busy" and next(counters[kind]) % 2 == 0:
            send(b"HTTP/1.1 503 Busy\r\nRetry-After: 1\r\nContent-Length: 0\r\n\r\n")
        elif kind == "nolength":
            send(b"HTTP/1.0 200 OK\r\n\r\n" + (b"" if method == "HEAD" else body))
        elif kind == "chunked":
            send(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            pieces = [body[at:at + 7001] for at in range(0, size, 7001)] + [b""]
            send(b"".join(b"%x\r\n%s\r\n" % (len(p), p) for p in pieces) if method != "HEAD" else b"")
        else:
            self.serve_file(method, head, body, kind)

    def serve_file(self, method, head, body, kind):
        size, status, extra = len(body), "200 OK", ""
        found = re.search(r"(?im)^range: *bytes=(\d+)-(\d*)", head)
        if found:
            first, last = int(found.group(1)), min(int(found.group(2) or size - 1), size - 1)
            body, status = body[first:last + 1], "206 Partial Content"
            extra = "Content-Range: bytes %d-%d/%d\r\n" % (first, last, size)
        if kind == "disposition":
            extra += "Content-Disposition: attachment; filename=\"report.pdf\"\r\n"
        self.request.sendall(("HTTP/1.1 %s\r\nAccept-Ranges: bytes\r\n%sContent-Length: %d\r\n\r\n"
                              % (status, extra, len(body))).encode())
        if method == "HEAD":
            return
        time.sleep(40 if kind == "mute" and next(counters[kind]) == 0 else 0)
        if kind == "reset" and next(counters[kind]) % 3 == 1:
            self.request.sendall(body[:len(body) // 2])
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        self.request.sendall(body)

socketserver.ThreadingTCPServer.allow_reuse_address = True
socketserver.ThreadingTCPServer.daemon_threads = True
socketserver.ThreadingTCPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
