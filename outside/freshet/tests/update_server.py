#!/usr/bin/env python3
"""A local update server for the tests, on 127.0.0.1 only.

  update_server.py serve FOLDER STATE LOG   serves FOLDER on a free port; writes "PORT PID" to STATE
                                            once it listens and appends "GET <path>" to LOG per request
  update_server.py stop STATE               stops the server by its pid; it removes STATE on the way out

A file with a sibling "<name>.cut" is announced whole but only half of it is sent before the
connection closes: a download cut off midway. The server ends itself after ten minutes.
"""
import functools
import http.server
import os
import signal
import socketserver
import sys
import threading

LIFETIME_S = 600


def serve(folder, state, log):
    # Wine starts us with the test's pipes: hold none of them open.
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    lock = threading.Lock()

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            with lock, open(log, "a") as out:
                out.write("GET %s\n" % self.path)
            path = self.translate_path(self.path)
            if os.path.isfile(path) and os.path.exists(path + ".cut"):
                with open(path, "rb") as f:
                    data = f.read()
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data[: len(data) // 2])
                self.wfile.flush()
                self.close_connection = True
                return
            super().do_GET()

    class Server(http.server.ThreadingHTTPServer):
        def server_bind(self):
            # The base class looks its own name up (getfqdn), which can wait on a name server.
            socketserver.TCPServer.server_bind(self)
            self.server_name, self.server_port = self.server_address[:2]

    server = Server(("127.0.0.1", 0), functools.partial(Handler, directory=folder))

    def finish(*_):
        try:
            os.remove(state)
        except OSError:
            pass
        os._exit(0)

    signal.signal(signal.SIGTERM, finish)
    threading.Timer(LIFETIME_S, finish).start()
    with open(state + ".tmp", "w") as out:
        out.write("%d %d\n" % (server.server_address[1], os.getpid()))
    os.replace(state + ".tmp", state)
    server.serve_forever()


def stop(state):
    with open(state) as f:
        pid = int(f.read().split()[1])
    os.kill(pid, signal.SIGTERM)


if __name__ == "__main__":
    if sys.argv[1] == "serve":
        serve(sys.argv[2], sys.argv[3], sys.argv[4])
    elif sys.argv[1] == "stop":
        stop(sys.argv[2])
