#!/bin/bash
# The desktop's style through the settings portal (a stand-in on a private
# session bus): dark for "prefer dark", and pages follow when it changes.
. "$(dirname "$0")/lib.sh"

dbus-daemon --session --fork --print-address=1 --print-pid=1 > "$WORK/bus"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$WORK/bus")
BUS_PID=$(sed -n 2p "$WORK/bus")
trap 'kill "$BUS_PID" 2>/dev/null; cleanup' EXIT
echo 1 > "$WORK/scheme"
/usr/bin/python3 "$HERE/notifications/portal.py" "$WORK/scheme" "$WORK/portal.ready" &
for _ in $(seq 100); do [ -e "$WORK/portal.ready" ] && break; sleep 0.1; done
check "the stand-in portal owns the name" test -e "$WORK/portal.ready"

PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 "$HERE/links/server.py" $PORT &
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
export HOME="$WORK/home"; mkdir -p "$HOME"
unset GTK_THEME
make_program_dir "$WORK/app" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:$PORT/scheme.html</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
LOG="$WORK/host.log"
( cd / && exec "$WORK/app/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
HOST=$!
if app=$(wait_window "scheme .*" 60); then
    check "the portal's prefer-dark: the page is dark" wait_title "$app" "scheme dark" 10
    check "the host says which style it follows" wait_log "WebKitColorScheme: the desktop's style is dark" 5
    screenshot style-dark.png
    echo 2 > "$WORK/scheme"
    check "the desktop changes to light: the page follows" wait_title "$app" "scheme light" 10
    echo 1 > "$WORK/scheme"
    check "and back to dark" wait_title "$app" "scheme dark" 10
else
    fail "the page shows"
fi
kill -TERM "$HOST" 2>/dev/null
wait_exit "$HOST" 30

# Without a portal (no session bus): the GTK theme decides, as before.
unset DBUS_SESSION_BUS_ADDRESS
( cd / && XDG_RUNTIME_DIR="$WORK/none" GTK_THEME=Adwaita:dark exec "$WORK/app/velta-host" -no_server ) > "$WORK/host2.out" 2>&1 &
HOST=$!
if app=$(wait_window "scheme .*" 60); then
    check "no portal, a dark GTK theme: the page is dark" wait_title "$app" "scheme dark" 10
else
    fail "the page shows without a portal"
fi
kill -TERM "$HOST" 2>/dev/null
wait_exit "$HOST" 30
finish
