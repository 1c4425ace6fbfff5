#!/bin/bash
# The time pages of the application take to load inside the host, for two
# builds side by side (say, before and after a change): the application walks
# through PAGES pages of its own, each loaded as a document of the main frame
# with an image, a style sheet and a frame of the same host, and reports the
# whole walk. Rounds alternate between the builds under one virtual X server.
#
#   bench/page-load.sh BUILD-A BUILD-B [ROUNDS] [PAGES]   (default 7 rounds, 40 pages)
set -u
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
A=$(cd "$1" && pwd); B=$(cd "$2" && pwd)
ROUNDS=${3:-7}; PAGES=${4:-40}
WORK=$(mktemp -d /tmp/velta-pageload-XXXXXX)
trap 'for p in $(jobs -p); do kill -9 $p 2>/dev/null; done; rm -rf "$WORK"' EXIT
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$WORK/server.py" <<'PY'
import http.server, sys
pages = int(sys.argv[2])
class H(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a): pass
    def do_GET(self):
        p = self.path
        if p.startswith('/p/'):
            n = int(p[3:])
            body = ('<!doctype html><title>page %d</title><link rel="stylesheet" href="/s.css">'
                    '<img src="/i.svg"><iframe src="/f"></iframe><p>%s</p>'
                    '<script>if (%d == 1) sessionStorage.t0 = Date.now();'
                    'addEventListener("load", function () { if (%d == %d) document.title = "done " +'
                    ' (Date.now() - Number(sessionStorage.t0)); else location.href = "/p/%d"; });</script>'
                    % (n, 'x' * 2000, n, n, pages, n + 1))
            kind = 'text/html'
        elif p == '/s.css': body, kind = 'p { color: #333 }', 'text/css'
        elif p == '/i.svg': body, kind = '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"/>', 'image/svg+xml'
        else: body, kind = '<title>f</title>frame', 'text/html'
        data = body.encode()
        self.send_response(200); self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(data))); self.send_header('Cache-Control', 'no-store')
        self.end_headers(); self.wfile.write(data)
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), H).serve_forever()
PY
python3 "$WORK/server.py" "$PORT" "$PAGES" &
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/f" && break; sleep 0.1; done

run() { # run BUILD ROUND: prints the walk's milliseconds
    local dir="$WORK/app-$(basename "$(dirname "$1/.")")-$2" id ms
    mkdir -p "$dir"
    cp "$1/velta-host" "$dir/"
    [ -f "$1/velta-watchdog" ] && cp "$1/velta-watchdog" "$dir/"
    cat > "$dir/app.config.xml" <<XML
<c>
<object name="StartUrl" class="configuration">http://127.0.0.1:$PORT/p/1</object>
<object name="AppDataDirectory" class="configuration">$dir/data</object>
<object name="Logging" class="configuration" enable="false"/>
</c>
XML
    ( cd "$dir" && HOME="$dir" exec ./velta-host -no_server ) > "$dir/out" 2>&1 &
    local pid=$!
    ms=
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name '^done [0-9]+$' 2>/dev/null | head -n 1)
        [ -n "$id" ] && { ms=$(xdotool getwindowname "$id" | awk '{print $2}'); break; }
        sleep 0.1
    done
    kill -TERM $pid 2>/dev/null; wait $pid 2>/dev/null
    echo "${ms:-nan}"
}
: > "$WORK/a"; : > "$WORK/b"
for r in $(seq "$ROUNDS"); do
    run "$A" "$r" >> "$WORK/a"
    run "$B" "$r" >> "$WORK/b"
done
python3 - "$WORK/a" "$WORK/b" "$A" "$B" "$PAGES" <<'PY'
import statistics, sys
a = [float(x) for x in open(sys.argv[1]) if x.strip() != 'nan']
b = [float(x) for x in open(sys.argv[2]) if x.strip() != 'nan']
pages = int(sys.argv[5])
for name, v, path in (('A', a, sys.argv[3]), ('B', b, sys.argv[4])):
    print('%s %s: %d walks, median %.0f ms (%.1f ms a page), min %.0f, max %.0f'
          % (name, path, len(v), statistics.median(v), statistics.median(v) / pages, min(v), max(v)))
if a and b:
    print('B / A: %.3f' % (statistics.median(b) / statistics.median(a)))
PY
