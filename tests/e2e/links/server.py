# Serves this folder on 127.0.0.1 (or the given loopback address) at the given
# port; report.bin as a download.
import http.server, os, sys
os.chdir(os.path.dirname(os.path.abspath(__file__)))
class Handler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        if self.path.startswith('/report.bin'):
            self.send_header('Content-Disposition', 'attachment; filename="report.bin"')
        super().end_headers()
    def log_message(self, *args):
        pass
address = sys.argv[2] if len(sys.argv) > 2 else '127.0.0.1'
http.server.ThreadingHTTPServer((address, int(sys.argv[1])), Handler).serve_forever()
