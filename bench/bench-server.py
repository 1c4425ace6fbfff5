#!/usr/bin/env python3
"""The page both programs show in the side-by-side benchmark, and the ear for
what the pages report: each report is one line in EVENTS-FILE with the time it
arrived and what the page measured (epoch milliseconds).

    bench-server.py EVENTS-FILE      prints the port it listens on (127.0.0.1)
    bench-server.py EVENTS-FILE --port P --start-delay S
                                     as an application server behind the host:
                                     listens on P only after S seconds, notes
                                     its first answered /status ("answered"),
                                     ends on POST /shutdown
"""
import http.server
import os
import sys
import threading
import time
import urllib.parse

answered = False

REPORT = """
<script>
function velta_report(what, t) {
  fetch('/report?what=' + what + '&t=' + t.toFixed(1), {cache: 'no-store'}).catch(function () {});
}
(function () {
  var sent = false;
  function paint(t) { if (!sent) { sent = true; velta_report('%(what)s', t); } }
  try {
    new PerformanceObserver(function (list) {
      list.getEntries().forEach(function (e) {
        if (e.name === 'first-contentful-paint') paint(performance.timeOrigin + e.startTime);
      });
    }).observe({type: 'paint', buffered: true});
  } catch (e) {}
  // Where paint timing is missing: the frame after the first one drawn.
  requestAnimationFrame(function () { requestAnimationFrame(function () {
    var t = Date.now();
    setTimeout(function () { paint(t); }, 1000); }); });
})();
%(extra)s
</script>
"""

BODY = """
<style>
 body { font: 16px sans-serif; margin: 0; background: #f4f6f8; color: #1d2733; }
 header { background: #24506e; color: white; padding: 24px 32px; }
 main { padding: 24px 32px; }
 a.big { display: block; margin-top: 24px; padding: 160px 0; text-align: center;
         background: #dde7ef; color: #24506e; font-size: 28px; text-decoration: none; }
</style>
<header><h1>%(title)s</h1></header>
<main>
<p>A static page: text, a little style, one link. Nothing on it moves.</p>
<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor
incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud
exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat.</p>
%(link)s
</main>
"""


def page(title, what, link="", extra=""):
    return ("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title></head><body>"
            % title + BODY % {"title": title, "link": link}
            + REPORT % {"what": what, "extra": extra} + "</body></html>")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, body, status=200):
        data = body.encode()
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urllib.parse.urlparse(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path == "/":
            self.send(page("Velta bench", "paint",
                           "<a class='big' href='/popup' target='_blank'>Open a pop-up</a>"))
        elif url.path == "/popup":
            self.send(page("Velta bench pop-up", "popup-paint"))
        elif url.path == "/nav":
            # A chain of 200 navigations: it rests after the first and after the last,
            # so the memory can be read at both.
            n = int(query.get("n", ["1"])[0])
            nxt = ("setTimeout(function () { location.href = '/nav?n=%d'; }, %d);"
                   % (n + 1, 4000 if n == 1 else 0)) if n < 200 else ""
            extra = ("window.addEventListener('load', function () { velta_report('nav%d', Date.now()); %s });"
                     % (n, nxt))
            self.send(page("Velta nav %d" % n, "nav-paint", "", extra))
        elif url.path == "/status":
            global answered
            if not answered:
                answered = True
                note("answered", "%.1f" % (time.time() * 1000))
            self.send("ok")
        elif url.path == "/report":
            note(query.get("what", ["?"])[0], query.get("t", ["0"])[0])
            self.send_response(204)
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            self.send("not found", 404)

    def do_POST(self):
        if self.path == "/shutdown":
            self.send("bye")
            threading.Thread(target=lambda: (time.sleep(0.05), os._exit(0))).start()
        else:
            self.send("not found", 404)


def note(what, t):
    with open(sys.argv[1], "a") as events:
        events.write("%.3f %s %s\n" % (time.time(), what, t))


args = sys.argv[2:]
port = int(args[args.index("--port") + 1]) if "--port" in args else 0
if "--start-delay" in args:
    note("started", "%.1f" % (time.time() * 1000))
    time.sleep(float(args[args.index("--start-delay") + 1]))
server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
if "--start-delay" in args:
    note("listening", "%.1f" % (time.time() * 1000))
print(server.server_address[1], flush=True)
server.serve_forever()
