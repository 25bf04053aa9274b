#!/usr/bin/env python3
"""A web hook for the tests, on 127.0.0.1 at a free port.

    hook_server.py PORT_FILE RECORD_FILE MODE

writes the port it listens on to PORT_FILE, then appends the body of every POST it gets to RECORD_FILE, one line
each (the bodies are JSON without line breaks). MODE: "ok" answers 200, "500" answers 500, "hang" never answers.
"""
import http.server
import sys
import threading

port_file, record_file, mode = sys.argv[1:4]
lock = threading.Lock()


class Hook(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with lock, open(record_file, "ab") as f:
            f.write(body.replace(b"\n", b" ") + b"\n")
        if mode == "hang":
            threading.Event().wait()
        self.send_response(500 if mode == "500" else 200)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Hook)
server.daemon_threads = True
with open(port_file + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
import os
os.replace(port_file + ".tmp", port_file)
server.serve_forever()
