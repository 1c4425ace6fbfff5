#!/bin/bash
# The desktop's style through the settings portal (a stand-in on a private
# session bus): dark for "prefer dark", and pages follow when it changes.
. "$(dirname "$0")/lib.sh"

private_session_bus
echo 1 > "$WORK/scheme"
/usr/bin/python3 "$HERE/notifications/portal.py" "$WORK/scheme" "$WORK/portal.ready" &
for _ in $(seq 100); do [ -e "$WORK/portal.ready" ] && break; sleep 0.1; done
check "the stand-in portal owns the name" test -e "$WORK/portal.ready"

serve_pages
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
