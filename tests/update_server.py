#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The version-file server of the update-check tests, on 127.0.0.1 only.

    update_server.py PORT_FILE LOG_FILE

Writes its port to PORT_FILE; logs each request as its path, a tab and its
User-Agent. /<answer>/morlen.ver gets the answer of that name, anything
else 404; "toolarge" sends one byte more than the program reads (length
unannounced); "hang" never answers and logs "gone" once the client hangs up.
"""
import http.server
import json
import os
import sys

SIZE_LIMIT = 1024 * 1024  # the most the program reads
NEARLY_THE_LIMIT = SIZE_LIMIT - 4096


def versions(*records):
    return json.dumps({"versions": [dict(zip(("os", "version", "url"), r)) for r in records]}).encode()


ANSWERS = {
    "newer": versions(("windows", "9.9.9", "https://127.0.0.1/windows"),
                      ("linux", "1.0.1", "https://127.0.0.1/morlen-1.0.1")),
    "same": versions(("linux", "1.0.0", "http://127.0.0.1/morlen")),
    "older": versions(("linux", "1.0", "http://127.0.0.1/morlen")),
    "others": versions(("windows", "2.0.0", "https://127.0.0.1/w"), ("macos", "2.0.0", "https://127.0.0.1/m")),
    "emptyurl": versions(("linux", "1.0.1", "")),
    "fileurl": versions(("linux", "1.0.1", "file:///etc/passwd")),
    "scripturl": versions(("linux", "1.0.1", "javascript:alert(1)")),
    "malformed": b"<html><body>Not a version file</body></html>",
    "truncated": b'{"versions":[{"os":"linux","version":"1.0.1","url":"https://127.0.0.1/t"},{"os":"lin',
    "huge": (b'{"versions":[{"os":"linux","version":"1.0.1","url":"https://127.0.0.1/huge"}],"padding":"'
             + b"x" * NEARLY_THE_LIMIT + b'"}'),
    # Link and version shown as they are: no ampersand taken as a mnemonic.
    "ampersand": versions(("linux", "1.0.1&up", "https://127.0.0.1/get?a=1&b=2")),
}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[2], "a") as log:
            log.write(f"{self.path}\t{self.headers.get('User-Agent', '')}\n")
        parts = self.path.split("/")
        if parts[1:] == ["hang", "morlen.ver"]:
            self.wait_for_hang_up()
            return
        if parts[1:] == ["toolarge", "morlen.ver"]:
            self.send_response(200)
            self.end_headers()
            chunk = b" " * (1024 * 1024)
            for _ in range(SIZE_LIMIT // len(chunk)):
                self.wfile.write(chunk)
            self.wfile.write(b" ")
            return
        body = ANSWERS.get(parts[1]) if len(parts) == 3 and parts[2] == "morlen.ver" else None
        if body is None:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def wait_for_hang_up(self):
        # Blocks until the client's end closes, and says so at once.
        while self.connection.recv(1):
            pass
        with open(sys.argv[2], "a") as log:
            log.write("gone\n")

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(sys.argv[1] + ".tmp", sys.argv[1])
server.serve_forever()
