"""The maker's site and a dictionary program, served on 127.0.0.1 for the end-to-end tests.

Prints the port on its first line of output, then serves until it is killed.
Every request goes as one line "METHOD PATH user-agent cache-control" into the
log file, written out at once so the tests can wait for it. A list under
/huge/ is a published list of 400 MB, made while it is sent and never stored;
when the client stops taking it, a line "SENT PATH BYTES" tells how much went.
"""
import http.server
import os
import sys
import urllib.parse

LOG = sys.argv[1]
PUBLISHED = sys.argv[2] if len(sys.argv) > 2 else None

PAGE = "<html><head><title>{title}</title></head><body><h1>{title}</h1><p>{text}</p></body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_page(self, title, text, status=200):
        body = PAGE.format(title=title, text=text).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_huge_list(self, path):
        total = 400 * 1024 * 1024
        entry = "Nimi\0utf8\0http://127.0.0.1/\0".encode("utf-16-le")
        chunk = entry * (65536 // len(entry))
        self.send_response(200)
        # Without a length, the end is where the connection closes: a client
        # that stops reading leaves the rest unsent.
        self.send_header("Content-Type", "application/octet-stream")
        self.end_headers()
        sent = 0
        try:
            self.wfile.write(bytes(4))
            sent = 4
            while sent < total:
                part = chunk[:total - sent]
                self.wfile.write(part)
                sent += len(part)
        except OSError:
            pass
        with open(LOG, "a", encoding="utf-8") as log:
            log.write("SENT {} {}\n".format(path, sent))

    def do_GET(self):
        with open(LOG, "a", encoding="utf-8") as log:
            log.write("GET {} {} {}\n".format(self.path, self.headers.get("User-Agent", "-").replace(" ", "_"),
                                             self.headers.get("Cache-Control", "-")))
        path = urllib.parse.urlsplit(self.path).path
        if path == "/quillbridge/":
            self.send_page("Abiinfo", "Quillbridge help")
        elif path == "/quillbridge/about.html":
            self.send_page("About", "Quillbridge about page")
        elif path.startswith("/huge/") and path.endswith(".kvd"):
            self.send_huge_list(path)
        elif path.startswith("/quillbridge/") and path.endswith(".kvd") and PUBLISHED:
            name = os.path.join(PUBLISHED, os.path.basename(path))
            if not os.path.exists(name):
                self.send_page("Not found", name, 404)
                return
            with open(name, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif path.startswith("/dict") or path.startswith("/pre"):
            self.send_page("Vastus", self.path)
        else:
            self.send_page("Not found", self.path, 404)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
