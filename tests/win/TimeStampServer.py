#!/usr/bin/env python3
"""The signing test's time-stamp server, on 127.0.0.1 only.

POST /rfc3161 takes an RFC 3161 request and answers it with `openssl ts -reply`.
POST /authenticode takes the legacy Authenticode request (base64 of a sequence
of the time-stamp type, optional attributes and a content info that carries the
signature value) and answers, in base64, with a PKCS#7 signature of the TSA
over that value, made by `openssl cms`: the form that the first Authenticode
clients asked of the time-stamp servers, and that Windows 2000 and XP check.
Each request is noted in the log, one line: its path.

Usage: TimeStampServer.py DIR PORT_FILE. DIR holds the two TSAs' certificates
and keys (rfc3161.pem/.key, authenticode.pem/.key) and the ts configuration
(ts.cnf); the port it listens on goes to PORT_FILE. It stops by itself after
five minutes.
"""

import base64
import http.server
import os
import subprocess
import sys
import tempfile
import time

work, port_file = sys.argv[1], sys.argv[2]


def element(data, pos):
    """The DER element at pos: (tag, start of its value, end of its value)."""
    tag, length = data[pos], data[pos + 1]
    pos += 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[pos:pos + count], "big")
        pos += count
    return tag, pos, pos + length


def signature_value(request):
    """The octet string at the end of the request's content info."""
    _, pos, end = element(request, 0)
    last = None
    while pos < end:
        last = element(request, pos)
        pos = last[2]
    _, pos, _ = last  # the content info: its type, then [0] holding the octets
    _, _, pos = element(request, pos)
    _, pos, _ = element(request, pos)
    tag, start, stop = element(request, pos)
    if tag != 0x04:
        raise ValueError("no octet string")
    return request[start:stop]


def openssl(*arguments):
    subprocess.run(["openssl", *arguments], check=True, capture_output=True)


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with open(os.path.join(work, "requests.log"), "a") as log:
            log.write(self.path + "\n")
        try:
            with tempfile.TemporaryDirectory(dir=work) as scratch:
                query, reply = os.path.join(scratch, "query"), os.path.join(scratch, "reply")
                if self.path == "/rfc3161":
                    with open(query, "wb") as out:
                        out.write(body)
                    openssl("ts", "-reply", "-config", os.path.join(work, "ts.cnf"), "-queryfile", query,
                            "-signer", os.path.join(work, "rfc3161.pem"), "-inkey", os.path.join(work, "rfc3161.key"),
                            "-out", reply)
                    kind = "application/timestamp-reply"
                elif self.path == "/authenticode":
                    with open(query, "wb") as out:
                        out.write(signature_value(base64.b64decode(body)))
                    openssl("cms", "-sign", "-binary", "-nodetach", "-nosmimecap", "-md", "sha1", "-in", query,
                            "-signer", os.path.join(work, "authenticode.pem"),
                            "-inkey", os.path.join(work, "authenticode.key"), "-outform", "DER", "-out", reply)
                    kind = "application/octet-stream"
                else:
                    self.send_error(404)
                    return
                with open(reply, "rb") as answer:
                    content = answer.read()
                if self.path == "/authenticode":
                    content = base64.b64encode(content)
        except (ValueError, IndexError, subprocess.CalledProcessError):
            self.send_error(400)
            return
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(content)))
        self.end_headers()
        self.wfile.write(content)

    def log_message(self, *_):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
server.timeout = 1
with open(port_file + ".part", "w") as out:
    out.write(str(server.server_port))
os.replace(port_file + ".part", port_file)
deadline = time.monotonic() + 300
while time.monotonic() < deadline:
    server.handle_request()
