#!/bin/bash
# Nothing lost, nothing left behind, with the real engine: unsaved work is asked
# about (stay keeps everything, leave ends it), a close during the start, a
# quit with page dialogs open, a crashed renderer, a server that ends by itself
# (failing, or with 0: the application's own quit), and a second start of the same installation.
. "$(dirname "$0")/lib.sh"

PAGES="$HERE/links"
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 "$PAGES/server.py" $PORT &
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
export HOME="$WORK/home"; mkdir -p "$HOME"
LOG="$WORK/pages.log"
make_program_dir "$WORK/pages" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:$PORT/unsaved.html</object>
<object name=\"CommandPrefix\" class=\"configuration\">velta:</object>
<object name=\"UILanguage\" class=\"configuration\">en</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"pages.log\" level=\"message\"/>
</c>"
pages_host() { ( cd / && exec "$WORK/pages/velta-host" -no_server ) >> "$WORK/host.out" 2>&1 & HOST=$!; }
type_notes() { # the user edits: the page now has unsaved work
    xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + 40)) $((Y + 30)) click 1; sleep 0.2
    xdotool type --delay 30 "a draft"
    wait_title "$1" "Unsaved work (edited)" 10
}

# --- Unsaved work: the close button asks; stay keeps it, leave ends it.
pages_host
if app=$(wait_window "Unsaved work" 60); then
    check "the user's edit is in the page" type_notes "$app"
    "$BUILD/tests/send-delete-request" "$app"
    if box=$(wait_window "http://127.0.0.1:$PORT" 20); then
        pass "closing a page with unsaved work asks first"
        screenshot "close-unsaved.png"
        xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.3
        xdotool key --clearmodifiers alt+n
        sleep 1
        check "stay: the host still runs" kill -0 $HOST
        check "stay: the window and its edit stay" wait_title "$app" "Unsaved work (edited)" 5
        "$BUILD/tests/send-delete-request" "$app"
        if box=$(wait_window "http://127.0.0.1:$PORT" 20); then
            xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.3
            xdotool key --clearmodifiers alt+y
            check "leave: the host ends" wait_exit $HOST 30
            check "leave: with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
        else
            fail "the second close asks again"
        fi
    else
        fail "closing a page with unsaved work asks first"
    fi
else
    fail "the page shows"
fi
kill -9 $HOST 2>/dev/null

# --- A quit while a page dialog is open, and a page that loops alerts.
for which in a l; do
    pages_host
    if app=$(wait_window "Unsaved work" 60); then
        key "$app" alt+$which
        if wait_window "http://127.0.0.1:$PORT" 20 > /dev/null; then
            kill -TERM $HOST
            check "alert ($which) open, SIGTERM: the host ends" wait_exit $HOST 30
            check "alert ($which): exit code 0 ($EXIT_CODE), no crash" test "$EXIT_CODE" = 0
        else
            fail "alert ($which) shows"
        fi
    else
        fail "the page shows for the alert ($which)"
    fi
    kill -9 $HOST 2>/dev/null
done

# --- A crashed renderer comes back.
: > "$LOG"
pages_host
if app=$(wait_window "Unsaved work" 60); then
    renderer=$(pgrep -P $HOST -f WebKitWebProcess | head -n 1)
    begin=$(date +%s.%N)
    kill -9 "$renderer"
    check "the crash is logged at error level" wait_log "Error: CBrowserImpl: the page's renderer ended (crashed)" 10
    if wait_log "OnNavigateComplete: http://127.0.0.1:$PORT/unsaved.html" 10 && wait_title "$app" "Unsaved work" 10; then
        took=$(echo "$(date +%s.%N) - $begin" | bc)
        pass "the page is back $took s after the renderer's death"
        check "within 5 s" test "$(echo "$took < 5" | bc)" -eq 1
    else
        fail "the page comes back after the renderer's death"
    fi

    # --- A second start of the same installation brings the first forward.
    begin=$(date +%s.%N)
    ( cd / && exec "$WORK/pages/velta-host" -no_server ) > "$WORK/second.out" 2>&1
    rc=$?
    took=$(echo "$(date +%s.%N) - $begin" | bc)
    check "a second start ends at once with 0 ($rc, $took s)" test "$rc" = 0
    check "it brought the first one's window forward" wait_log "a second start of this application: the window comes forward" 5
    check "one host of it runs ($(pgrep -c -f -- "$WORK/pages/velta-host"))" test "$(pgrep -c -f -- "$WORK/pages/velta-host")" = 1
    kill -TERM $HOST
    wait_exit $HOST 30
else
    fail "the page shows for the renderer"
fi
kill -9 $HOST 2>/dev/null

# --- SIGTERM while the splash shows: the host and its starting server end.
prepare_demo 100
start_host
if wait_window "Programm-Start" 30 > /dev/null; then
    kill -TERM $HOST
    check "SIGTERM during the splash ends the host" wait_exit $HOST 20
    starting_gone() { for _ in $(seq 30); do pgrep -f -- "--start-delay 100" > /dev/null || return 0; sleep 0.1; done; return 1; }
    check "and the starting server" starting_gone
else
    fail "the splash shows"
fi
kill -9 $HOST 2>/dev/null

# --- A server that ends by itself while the application is shown.
prepare_demo 0
sed -i 's#--start-delay 0#--start-delay 0 --exit-after 4 --exit-code 1#' "$APP/app.config.xml"
start_host
if wait_window "Velta Demo" 60 > /dev/null; then
    if box=$(wait_window "Fatal error" 30); then
        pass "a server that ends by itself is reported to the user"
        screenshot "close-server-ended.png"
        press_return "$box"
        wait_exit $HOST 20
        check "and the host exits with code 3 ($EXIT_CODE)" test "$EXIT_CODE" = 3
    else
        fail "a server that ends by itself is reported to the user"
    fi
else
    fail "the demo shows"
fi
kill -9 $HOST 2>/dev/null

# --- A server that ends with 0 while shown: the application's own quit.
prepare_demo 0
sed -i 's#--start-delay 0#--start-delay 0 --exit-after 4 --exit-code 0#' "$APP/app.config.xml"
: > "$LOG"
start_host
if app=$(wait_window "Velta Demo" 60); then
    check "its own quit ends the host" wait_exit $HOST 30
    check "with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
    check "it is logged as the application's own quit" grep -q "the application's own quit" "$LOG"
    check "the end page showed first" grep -q "NavigationController::Stop with splash url: .*goodbye.html" "$LOG"
    check "no fatal message" test -z "$(grep -e "Fatal error" -e "the server ended while the application was shown" "$LOG" "$WORK/host.out")"
else
    fail "the demo shows for its own quit"
fi
kill -9 $HOST 2>/dev/null
finish
