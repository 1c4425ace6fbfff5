# The pages of the link cases: `cases.py app PORT NEXTFILE` serves the
# application on 127.0.0.1, whose start page goes to the case named in
# NEXTFILE; `cases.py count ADDRESS PORT LOGFILE` answers every request on
# ADDRESS and writes one line per request to LOGFILE.
import html, http.server, sys, urllib.parse

BACK = '<a accesskey="n" href="http://127.0.0.1:%s/">next</a>'


def case_page(name, target, app_port):
    t = html.escape(target, quote=True)
    act = {
        'click': '',
        'script': "location.href = '%s/script';" % t,
        'open': "window.open('%s/popup');" % t,
        'form-get': "document.getElementById('get').submit();",
        'form-post': "document.getElementById('post').submit();",
        'redirect-302': "location.href = '/redirect?code=302&to=' + encodeURIComponent('%s/r302');" % t,
        'redirect-307': "document.getElementById('post307').submit();",
        'meta': '',
        'iframe': '',
        'nested': '',
        'unreachable': "location.href = 'http://example.invalid/outside';",
    }.get(name, '')
    body = {
        'click': '<a id="big" href="%s/clicked" style="display:block;height:90vh">the link</a>' % t,
        'form-get': '<form id="get" action="%s/search"><input name="q" value="blue sky"></form>' % t,
        'form-post': '<form id="post" method="post" action="%s/pay"><input name="card" value="4111"></form>' % t,
        'redirect-307': '<form id="post307" method="post" action="/redirect?code=307&amp;to=%s">'
                        '<input name="card" value="4111"></form>' % urllib.parse.quote(target + '/r307', safe=''),
        'meta': '',
        'iframe': '<iframe src="%s/inner"></iframe>' % t,
        'nested': '<iframe src="/frame?src=%s"></iframe>' % urllib.parse.quote(target + '/nested', safe=''),
    }.get(name, '')
    head = '<meta http-equiv="refresh" content="1;url=%s/meta">' % t if name == 'meta' else ''
    return ('<!doctype html><html><head><title>Case %s</title>%s</head><body>%s %s'
            '<script>setTimeout(function () { %s }, 300);</script></body></html>'
            % (name, head, BACK % app_port, body, act))


class App(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, code, text, headers=()):
        data = text.encode()
        self.send_response(code)
        self.send_header('Content-Type', 'text/html; charset=utf-8')
        self.send_header('Content-Length', str(len(data)))
        self.send_header('Cache-Control', 'no-store')
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    def do_POST(self):
        self.rfile.read(int(self.headers.get('Content-Length', 0)))
        self.do_GET()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        port = self.server.server_address[1]
        if url.path == '/':
            with open(NEXT) as f:
                name, target = (f.read().split() + ['', ''])[:2]
            self.answer(200, '<title>Cases</title><script>location.replace("/case/%s?t=%s")</script>'
                        % (name, urllib.parse.quote(target, safe='')))
        elif url.path.startswith('/case/'):
            self.answer(200, case_page(url.path[6:], query.get('t', ''), port))
        elif url.path == '/redirect':
            self.answer(int(query['code']), 'moved', [('Location', query['to'])])
        elif url.path == '/frame':
            self.answer(200, '<title>frame</title><iframe src="%s"></iframe>' % html.escape(query['src']))
        else:
            self.answer(404, 'no such page')


class Count(App):
    def do_GET(self):
        with open(LOG, 'a') as f:
            f.write('%s %s\n' % (self.command, self.path))
        if self.path.startswith('/inner') or self.path.startswith('/nested'):
            self.answer(200, '<title>frame</title>inside a frame')
        else:
            self.answer(200, '<title>Reached %s</title>%s' % (html.escape(self.path), BACK % APP_PORT))


if sys.argv[1] == 'app':
    NEXT = sys.argv[3]
    server = http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[2])), App)
else:
    LOG, APP_PORT = sys.argv[4], sys.argv[5]
    server = http.server.ThreadingHTTPServer((sys.argv[2], int(sys.argv[3])), Count)
server.serve_forever()
