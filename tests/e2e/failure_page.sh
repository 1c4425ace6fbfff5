#!/bin/bash
# The host's own page when the application's page fails to load: a server that
# does not answer, a proxy in the way; in German and English; "Try again"
# once the server answers.
. "$(dirname "$0")/lib.sh"

export HOME="$WORK/home"
mkdir -p "$HOME"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
mkdir -p "$WORK/site"
printf '<!doctype html><title>Application page</title>here' > "$WORK/site/index.html"

run_case() { # run_case NAME LANGUAGE START-URL EXPECTED-TITLE
    local name=$1 language=$2 start=$3 title=$4
    APP="$WORK/$name"
    make_program_dir "$APP" "<c>
<object name=\"StartUrl\" class=\"configuration\">$start</object>
<object name=\"UILanguage\" class=\"configuration\">$language</object>
<object name=\"MainWindowRect\" class=\"configuration\" x=\"40\" y=\"40\" dx=\"760\" dy=\"520\"/>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/$name-data</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
    LOG="$WORK/$name-data/host.log"
    ( cd / && exec "$APP/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
    HOST=$!
    if WINDOW=$(wait_window "$title" 60); then
        pass "$name: the host's page says '$title'"
        screenshot "failure-$name.png"
        check "$name: the failure is logged as an error with the address" \
            wait_log "Error: WebKitEngineView: the page ${start%/}/\? failed to load: " 10
    else
        fail "$name: the host's page says '$title'"
        WINDOW=
    fi
}

end_host() {
    kill -TERM $HOST 2>/dev/null
    check "the host ends" wait_exit $HOST 30
}

# Nothing listens: the server does not answer; then it does, and Try again.
PORT=$(free_port)
run_case refused en "http://127.0.0.1:$PORT/" "The application does not answer"
if [ -n "$WINDOW" ]; then
    python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$WORK/site" > /dev/null 2>&1 &
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
    key "$WINDOW" Return # the button has the focus
    check "Try again loads the page once the server answers" wait_title "$WINDOW" "Application page" 30
fi
end_host

PORT=$(free_port)
run_case refused-de de "http://127.0.0.1:$PORT/" "Die Anwendung antwortet nicht"
end_host

# A proxy that is not there, for an address that is not loopback.
DEAD=$(free_port)
export http_proxy="http://127.0.0.1:$DEAD" HTTP_PROXY="http://127.0.0.1:$DEAD"
run_case proxy en "http://velta-app.test/" "A proxy is in the way"
end_host
run_case proxy-de de "http://velta-app.test/" "Ein Proxy steht im Weg"
end_host
finish
