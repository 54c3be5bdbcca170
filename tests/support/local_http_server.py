"""A small HTTP server for the tests, on 127.0.0.1 and a free port.

Prints "PORT <number>" on its first line of output once it listens, then serves until it is
ended. Every request is appended to the log file given with --log as one JSON line: method, path
and the headers in the order they came.

  /probe                 200 with a short body (the connectivity probe)
  /status/<code>         that status, with a body
  /slow/<seconds>        waits, then 200
  /tiles/<z>/<x>/<y>.png a 256 x 256 PNG map tile
"""
import argparse
import http.server
import json
import struct
import sys
import threading
import time
import zlib


def png(width, height, pixel):
    """A truecolour PNG whose pixel (x, y) is the (r, g, b) that pixel() gives."""
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 6)) +
            chunk(b"IEND", b""))


# A pale tile with a darker grid, so that a screenshot shows where tiles were drawn.
TILE = png(256, 256, lambda x, y: (170, 190, 205) if x % 64 == 0 or y % 64 == 0 else (226, 233, 220))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    log_lock = threading.Lock()

    def log_message(self, format, *args):
        pass

    def record(self):
        line = json.dumps({"method": self.command, "path": self.path, "headers": list(self.headers.items())})
        with self.log_lock, open(self.server.request_log, "a", encoding="utf-8") as log:
            log.write(line + "\n")

    def answer(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_GET(self):
        self.record()
        parts = self.path.split("?")[0].strip("/").split("/")
        if parts == ["probe"]:
            self.answer(200, b"ok")
        elif len(parts) == 2 and parts[0] == "status" and parts[1].isdigit():
            self.answer(int(parts[1]), b"status " + parts[1].encode())
        elif len(parts) == 2 and parts[0] == "slow":
            time.sleep(float(parts[1]))
            self.answer(200, b"slow")
        elif len(parts) == 4 and parts[0] == "tiles" and parts[3].endswith(".png"):
            self.answer(200, TILE, "image/png")
        else:
            self.answer(404, b"not found")

    do_HEAD = do_GET


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    options = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.request_log = options.log
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
