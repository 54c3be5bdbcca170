"""A small HTTP server for the tests, on 127.0.0.1 and a free port.

Prints "PORT <number>" on its first line of output once it listens, then serves until it is
ended. Every request is appended to the log file given with --log as one JSON line: method, path
and the headers in the order they came.

  /probe                 200 with a short body (the connectivity probe)
  /status/<code>         that status, with a body
  /slow/<seconds>        waits, then 200
  /tiles/<z>/<x>/<y>.png a 256 x 256 PNG map tile

The services' sign-in, as a browser sees it:
  /v2.3/dialog/oauth     the social network's sign-in page, /o/oauth2/auth the video service's: a
                         form with the buttons "allow", "deny", "nopublish" (allow, without the
                         publishing permission) and "slow" that goes to /signin/decide
  /signin/decide         redirects to the page's redirect_uri with a token in the fragment (social
                         network) or a code in the query (video service), or with "error="
  /connect/login_success.html  the social network's landing page
  /me/permissions        the token's permissions as JSON: publish_actions granted, declined for a
                         "nopublish" token; a "slow" token waits a minute first

The services' uploads (POST; each recorded with its body's length and SHA-256, and a body of up to
4 KiB as text):
  /o/oauth2/token        the token exchange: tokens as JSON, 400 for a code that holds "refused"
  /upload/youtube/v3/videos  opens an upload session: its address in "Location", 401 without a
                         bearer token from the exchange
  /upload/youtube/v3/session/<n>, /me/videos  take the recording's bytes, answer with an id
Faults come from the JSON file given with --faults, read at every POST: a list of
{"path": p, "nth": n, ...} for the n-th POST to path p since the list last changed (every one
without "nth"), with "status": code (that answer),
"drop_after": bytes (the connection closed after reading so many body bytes), "stall_after":
bytes (nothing more read or sent for a minute) or "slow": seconds (the answer that much later).
With --certificate and --key it serves HTTPS.
"""
import argparse
import hashlib
import html
import http.server
import json
import struct
import socket
import ssl
import sys
import threading
import time
import urllib.parse
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


SIGN_IN_PAGE = """<!DOCTYPE html><html><body><h1>Sign in</h1>
<form id="decide" action="/signin/decide" method="get">
<input type="hidden" name="flow" value="{flow}"><input type="hidden" name="redirect_uri" value="{redirect}">
<button id="allow" name="choice" value="allow">Allow</button>
<button id="deny" name="choice" value="deny">Deny</button>
<button id="nopublish" name="choice" value="nopublish">Allow without publishing</button>
<button id="slow" name="choice" value="slow">Allow, answer the permission check late</button>
</form></body></html>"""

# What /signin/decide appends to the redirect address, by flow and choice.
SIGN_IN_ANSWERS = {
    ("token", "allow"): "#access_token=EAAGtoken{nonce}&data_access_expiration_time=1790000000&expires_in=5183999",
    ("token", "nopublish"): "#access_token=EAAGnopublish{nonce}&expires_in=5183999",
    ("token", "slow"): "#access_token=EAAGslow{nonce}&expires_in=5183999",
    ("token", "deny"): "?error=access_denied&error_code=200&error_reason=user_denied#_=_",
    ("code", "allow"): "?code=4%2F0AdQt8q{nonce}&scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fyoutube.upload",
    ("code", "deny"): "?error=access_denied",
}


def permissions(token):
    status = "declined" if "nopublish" in token else "granted"
    return {"data": [{"permission": "user_videos", "status": "granted"},
                     {"permission": "publish_actions", "status": status}]}


# A pale tile with a darker grid, so that a screenshot shows where tiles were drawn.
TILE = png(256, 256, lambda x, y: (170, 190, 205) if x % 64 == 0 or y % 64 == 0 else (226, 233, 220))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    log_lock = threading.Lock()

    def log_message(self, format, *args):
        pass

    def record(self, body=None):
        entry = {"method": self.command, "path": self.path, "headers": list(self.headers.items())}
        if body is not None:
            entry.update(body)
        line = json.dumps(entry)
        with self.log_lock, open(self.server.request_log, "a", encoding="utf-8") as log:
            log.write(line + "\n")

    def answer(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def sign_in(self, path, query):
        """The sign-in pages and the permission check; False for any other path."""
        if path in ("/v2.3/dialog/oauth", "/o/oauth2/auth"):
            flow = "token" if path.startswith("/v2.3") else "code"
            page = SIGN_IN_PAGE.format(flow=flow, redirect=html.escape(query.get("redirect_uri", [""])[0]))
            self.answer(200, page.encode(), "text/html")
        elif path == "/signin/decide":
            answer = SIGN_IN_ANSWERS.get((query.get("flow", [""])[0], query.get("choice", [""])[0]))
            if answer is None:
                self.answer(400, b"unknown choice")
            else:
                self.redirect(query.get("redirect_uri", [""])[0] + answer.format(nonce=int(time.time() * 1000)))
        elif path == "/connect/login_success.html":
            self.answer(200, b"<html><body>Success</body></html>", "text/html")
        elif path == "/me/permissions":
            token = query.get("access_token", [""])[0]
            if "slow" in token:
                time.sleep(60)
            self.answer(200, json.dumps(permissions(token)).encode(), "application/json")
        else:
            return False
        return True

    def do_GET(self):
        self.record()
        path, _, query = self.path.partition("?")
        if self.sign_in(path, urllib.parse.parse_qs(query)):
            return
        parts = path.strip("/").split("/")
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

    # The uploads.

    def fault(self, path):
        with self.log_lock:
            try:
                with open(self.server.faults, encoding="utf-8") as faults:
                    text = faults.read()
            except OSError:
                text = "[]"
            # New faults count the POSTs afresh.
            if text != self.server.faults_text:
                self.server.faults_text, self.server.post_counts = text, {}
            count = self.server.post_counts[path] = self.server.post_counts.get(path, 0) + 1
            listed = json.loads(text)
        return next((f for f in listed if f.get("path") == path and f.get("nth", count) == count), {})

    def read_body(self, fault):
        """Reads the body as its Content-Length says; False when the fault ends the exchange."""
        left = int(self.headers.get("Content-Length", "0"))
        limit = fault.get("drop_after", fault.get("stall_after", left))
        if "stall_after" in fault:
            # A small window that does not grow, so that the sender soon has nowhere to put bytes.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 65536)
        digest, length, data = hashlib.sha256(), 0, b""
        while length < min(left, limit):
            piece = self.rfile.read(min(65536, min(left, limit) - length))
            if not piece:
                break
            digest.update(piece)
            length += len(piece)
            if len(data) < 65536:
                data += piece
        entry = {"body_length": length, "body_sha256": digest.hexdigest()}
        if length <= 4096:
            entry["body"] = data.decode("utf-8", "replace")
        self.record(entry)
        self.body = data
        if "stall_after" in fault:
            time.sleep(60)
        if length < left:
            self.close_connection = True
            return False
        time.sleep(fault.get("slow", 0))
        return True

    def upload(self, path):
        if path == "/o/oauth2/token":
            form = urllib.parse.parse_qs(self.body.decode(), keep_blank_values=True)
            code = form.get("code", [""])[0]
            if "refused" in code:
                return 400, {"error": "invalid_grant"}, {}
            return 200, {"access_token": "ya29.access-" + code[-6:], "expires_in": 3599,
                         "refresh_token": "1//refresh-" + code[-6:], "token_type": "Bearer"}, {}
        if path == "/upload/youtube/v3/videos":
            if not self.headers.get("Authorization", "").startswith("Bearer ya29."):
                return 401, {"error": {"code": 401, "message": "Invalid Credentials"}}, {}
            self.server.sessions += 1
            location = "%s://%s/upload/youtube/v3/session/%d" % (self.server.scheme, self.headers["Host"],
                                                                self.server.sessions)
            return 200, {}, {"Location": location}
        if path.startswith("/upload/youtube/v3/session/") or path == "/me/videos":
            return 200, {"id": hashlib.sha256(self.body).hexdigest()[:12]}, {}
        return 404, {"error": "not found"}, {}

    def do_POST(self):
        path = self.path.partition("?")[0]
        fault = self.fault(path)
        try:
            if not self.read_body(fault):
                return
            status, answer, headers = self.upload(path)
            body = json.dumps(answer).encode()
            self.send_response(fault.get("status", status))
            for name, value in headers.items():
                self.send_header(name, value)
            self.send_header("Content-Type", "application/json; charset=UTF-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except (ConnectionError, OSError):
            # The client gave up (its time-out, a cancel): nothing to answer.
            self.close_connection = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--faults", default="")
    parser.add_argument("--certificate")
    parser.add_argument("--key")
    options = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.request_log = options.log
    server.faults = options.faults
    server.post_counts = {}
    server.faults_text = "[]"
    server.sessions = 0
    server.scheme = "http"
    if options.certificate:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.certificate, options.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
        server.scheme = "https"
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
