# Serves this folder on 127.0.0.1 (or the given loopback address) at the given
# port; report.bin as a download.
import http.server, json, os, sys
os.chdir(os.path.dirname(os.path.abspath(__file__)))
class Handler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        if self.path.startswith('/report.bin'):
            self.send_header('Content-Disposition', 'attachment; filename="report.bin"')
        super().end_headers()
    def do_GET(self):
        # The languages the page is told, and the header its request carried.
        if self.path.startswith('/languages'):
            header = json.dumps(self.headers.get('Accept-Language', '-'))
            body = ('<!DOCTYPE html><meta charset="utf-8"><title>languages</title><script>'
                    'document.title = "lang " + navigator.language + " | " + '
                    'navigator.languages.join(",") + " | " + %s;</script>' % header).encode()
            self.send_response(200)
            self.send_header('Content-Type', 'text/html; charset=utf-8')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()
    def log_message(self, *args):
        pass
address = sys.argv[2] if len(sys.argv) > 2 else '127.0.0.1'
http.server.ThreadingHTTPServer((address, int(sys.argv[1])), Handler).serve_forever()
