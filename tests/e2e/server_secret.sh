#!/bin/bash
# Who can reach the application's server: the demo behind the real host and
# engine answers the host alone. Another local user, another browser's page
# (a form and a fetch from 127.0.0.2), a rebinding name, and a dead proxy in
# the environment; the secret in no command line, log or browser data.
. "$(dirname "$0")/lib.sh"

prepare_demo 0
sed -i "s#<object name=\"BrowserDataDirectory\" class=\"configuration\">[^<]*<#<object name=\"BrowserDataDirectory\" class=\"configuration\">$WORK/browser<#" "$APP/app.config.xml"
# Another user listens on the base port first, and records what reaches it.
base=$(grep -o 'baseport="[0-9]*"' "$APP/app.config.xml" | head -n 1 | grep -o '[0-9]*')
squatter=""
if id nobody > /dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
    chmod o+x "$WORK"; touch "$WORK/squatter.log"; chmod 666 "$WORK/squatter.log"
    runuser -u nobody -- /usr/bin/python3 -c '
import socket, sys
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(8)
log = open(sys.argv[2], "a")
while True:
    c, _ = s.accept(); c.settimeout(1)
    try: log.write(c.recv(65536).decode("latin-1")); log.flush()
    except OSError: pass
    c.close()' "$base" "$WORK/squatter.log" &
    squatter=$!
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$base/" ; [ $? -ne 7 ] && break; sleep 0.1; done
fi
# A dead proxy, as a company laptop away from the company has one.
export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9
begin=$(date +%s.%N)
start_host
if app=$(wait_window "Velta Demo" 60); then
    pass "the start page shows through a dead proxy in the environment ($(since "$begin") s)"
    unset http_proxy https_proxy
    port=$(grep -o 'found port=[0-9]*' "$LOG" | head -n 1 | cut -d= -f2)
    if [ -n "$squatter" ]; then
        check "another user's listener on the base port $base: the application runs on $port" test "$port" != "$base"
    fi
    origin="http://127.0.0.1:$port"
    server=$(pgrep -f -- "velta-demo-server --port $port" | head -n 1)
    token=$(tr '\0' '\n' < "/proc/$server/environ" | sed -n 's/^VELTA_SERVER_TOKEN=//p')
    check "the server has a secret of 43 characters in its environment" test "${#token}" -eq 43
    code() { curl -s -o /dev/null -w '%{http_code}' "$@"; }

    # Another user of the machine.
    if id nobody > /dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
        check "another user gets 401 ($(runuser -u nobody -- curl -s -o /dev/null -w '%{http_code}' "$origin/"))" \
            test "$(runuser -u nobody -- curl -s -o /dev/null -w '%{http_code}' "$origin/")" = 401
        runuser -u nobody -- curl -s -o /dev/null -X POST "$origin/shutdown"
        sleep 0.5
        check "and cannot shut it down" kill -0 "$server"
    fi
    check "no secret: 401" test "$(code "$origin/")" = 401
    check "the secret, the wrong Host (rebinding): 403" \
        test "$(code -H "Cookie: VELTA_SERVER_TOKEN=$token" -H "Host: rebind.example:$port" "$origin/")" = 403
    check "the secret, another site's form: 403" \
        test "$(code -X POST -H "Cookie: VELTA_SERVER_TOKEN=$token" -H "Origin: http://evil.example" "$origin/shutdown")" = 403
    check "the secret in a bearer header: 200" test "$(code -H "Authorization: Bearer $token" "$origin/")" = 200
    check "no answer holds the secret" bash -c "! curl -s -H 'Cookie: VELTA_SERVER_TOKEN=$token' '$origin/' | grep -qF '$token'"

    # A page of another site, in another browser, posts to the application.
    mkdir -p "$WORK/evil"
    cat > "$WORK/evil/index.html" <<HTML
<!DOCTYPE html><html><head><title>Evil</title></head><body>
<form id="f" method="post" action="$origin/shutdown"><input name="a" value="b"></form>
<script>
fetch('$origin/shutdown', {method: 'POST', mode: 'no-cors'}).finally(function () {
    document.getElementById('f').submit(); });
</script></body></html>
HTML
    ( cd "$WORK/evil" && exec python3 -m http.server --bind 127.0.0.2 0 ) > "$WORK/evil.out" 2>&1 &
    evil=$!
    for _ in $(seq 50); do evil_port=$(grep -o 'port [0-9]*' "$WORK/evil.out" | head -n 1 | cut -d' ' -f2); [ -n "$evil_port" ] && break; sleep 0.1; done
    if [ -n "$evil_port" ]; then
        "$BUILD/bench/velta-floor-viewer" "http://127.0.0.2:$evil_port/" "$WORK/other-browser" > "$WORK/viewer.out" 2>&1 &
        viewer=$!
        posted() { for _ in $(seq 100); do [ "$(grep -c 'POST /shutdown' "$LOG")" -ge 2 ] && return 0; sleep 0.1; done; return 1; }
        check "another browser's page sent its form and its fetch" posted
        check "and got no shutdown: the server runs" kill -0 "$server"
        check "and the application still answers its host" wait_title "$app" "Velta Demo" 5
        kill "$viewer" 2>/dev/null
    else
        fail "the other site's page is served"
    fi
    kill "$evil" 2>/dev/null

    # Where the secret never is.
    printf '%s\n' "$token" > "$WORK/token" # read from a file: no command line of the check holds it
    no_cmdline() { ! cat /proc/[0-9]*/cmdline 2>/dev/null | tr '\0' '\n' | grep -qF -f "$WORK/token"; }
    check "in no command line" no_cmdline
    check "in no log line" bash -c "! grep -qF -- '$token' '$LOG'"
    check "in no window title" bash -c "! xdotool search --name '$token' > /dev/null"
    if [ -n "$squatter" ]; then
        check "the other user's listener never saw the secret" bash -c "! grep -q VELTA_SERVER_TOKEN '$WORK/squatter.log'"
        kill "$squatter" 2>/dev/null
    fi

    # The quit's own request to the server goes direct, whatever the proxy.
    export http_proxy=http://127.0.0.1:9
    key "$app" alt+q
    begin=$(date +%s.%N)
    check "the quit ends the host" wait_exit $HOST 30
    took=$(since "$begin")
    check "within a second, not after the count-down ($took s)" test "$(echo "$took < 1" | bc)" -eq 1
    unset http_proxy
    check "the secret is in no file of the browser data" bash -c "! grep -rqF -- '$token' '$WORK/browser'"
    check "which the run did use" test -d "$WORK/browser"
else
    fail "the start page shows through a dead proxy in the environment"
fi
kill -9 $HOST 2>/dev/null
finish
