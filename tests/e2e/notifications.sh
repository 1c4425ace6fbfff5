#!/bin/bash
# A page's notification reaches the desktop's notification service (a stand-in
# on a private session bus) with the application's name and icon; a click on
# it tells the page and brings the window forward.
. "$(dirname "$0")/lib.sh"

private_session_bus
RECORD="$WORK/notifications.jsonl"
/usr/bin/python3 "$HERE/notifications/service.py" "$RECORD" "$WORK/click" &
for _ in $(seq 100); do [ -e "$RECORD.ready" ] && break; sleep 0.1; done
check "the stand-in service owns the name" test -e "$RECORD.ready"

serve_pages
export HOME="$WORK/home"; mkdir -p "$HOME"
start_wm || { fail "the window manager starts"; finish; exit 1; }
ICON="$BUILD/examples/demo/webapp/icon.png"
make_program_dir "$WORK/app" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:$PORT/notify.html</object>
<object name=\"IconUrl\" class=\"configuration\">$ICON</object>
<object name=\"Permissions\" class=\"configuration\" notifications=\"allow\"/>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"BrowserDataDirectory\" class=\"configuration\">$WORK/browser</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
LOG="$WORK/host.log"
( cd / && exec "$WORK/app/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
HOST=$!
field() { /usr/bin/python3 -c 'import json,sys; print([json.loads(l) for l in open(sys.argv[1]) if "\"app\"" in l][0][sys.argv[2]])' "$RECORD" "$1"; }
if app=$(wait_window "Velta Notify" 60); then
    wait_log "OnNavigateComplete: .*/notify.html" 10
    sleep 0.5
    key "$app" space
    for _ in $(seq 100); do grep -q '"app"' "$RECORD" 2>/dev/null && break; sleep 0.1; done
    if grep -q '"app"' "$RECORD" 2>/dev/null; then
        pass "the notification reached the desktop's service"
        check "with the application's name ($(field app))" test "$(field app)" = "Velta Notify"
        check "with its icon ($(field icon))" test "$(field icon)" = "$ICON"
        check "with the page's title ($(field summary))" test "$(field summary)" = Stand-up
        check "and its text ($(field body))" test "$(field body)" = "In five minutes, room 2"
        check "a click on it is offered (the default action)" grep -q '"actions": \["default"' "$RECORD"
        check "the page heard it was shown" wait_title "$app" "notification shown" 10
        # The user is elsewhere: the window is minimized when the click comes.
        xdotool windowminimize "$app"
        for _ in $(seq 50); do xprop -id "$app" _NET_WM_STATE | grep -q HIDDEN && break; sleep 0.1; done
        touch "$WORK/click"
        check "the click reaches the page" wait_title "$app" "notification clicked" 10
        check "and brings the window forward" \
            bash -c "for _ in \$(seq 50); do ! xprop -id $app _NET_WM_STATE | grep -q HIDDEN && [ \"\$(xdotool getactivewindow)\" = $app ] && exit 0; sleep 0.1; done; exit 1"
        check "the click is logged" wait_log "WebKitNotifier: notification 1 clicked (default)" 5
        screenshot notification-clicked.png
    else
        fail "the notification reached the desktop's service"
        screenshot notification-failed.png
    fi
else
    fail "the page shows"
fi
kill -TERM "$HOST" 2>/dev/null
wait_exit "$HOST" 30
finish
