#!/bin/bash
# The whole host as a user meets it, with the real engine and the demo: the
# splash while the server starts, the application, full-screen and window mode,
# external links, and the three ways out (quit, closing the window, -no_server),
# then the same start and quit against a real Tomcat.
. "$(dirname "$0")/lib.sh"

prepare_demo 3
# A browser list as users write it: a missing first entry, then a command with
# options and the URL's place.
export BROWSER="no-such-browser --x:$WORK/browser.sh --new-window %s"

display_size() { xdotool getdisplaygeometry | tr ' ' 'x'; }
server_group() { grep -o 'ServerProcess::Start. Process [0-9]*' "$LOG" | tail -n 1 | awk '{print $3}'; }
group_gone() {
    [ -n "$1" ] || return 1
    for _ in $(seq 30); do pgrep -g "$1" > /dev/null || return 0; sleep 0.1; done
    return 1
}
timed_exit() { # timed_exit SECONDS: waits for the host; sets EXIT_CODE and TOOK
    local begin=$(date +%s.%N)
    wait_exit "$HOST" "$1"
    TOOK=$(echo "$(date +%s.%N) - $begin" | bc)
}

# --- Start-up: the splash while the server is slow, then the application.
start_host
if splash=$(wait_window "Programm-Start" 10); then
    pass "the splash window appears while the server starts"
    screenshot "demo-splash.png"
    geometry=$(xdotool getwindowgeometry "$splash" | tr '\n' ' ')
    check "the splash is centred ($geometry)" bash -c "echo '$geometry' | grep -q 'Position: 400,362 .*Geometry: 480x300'"
    check "the splash has no border or caption ($(xprop -id "$splash" _MOTIF_WM_HINTS _NET_WM_WINDOW_TYPE | tr '\n' ' '))" \
        bash -c "xprop -id $splash _MOTIF_WM_HINTS | grep -Eq '= 0x[23], 0x[0-9a-f]+, 0x0(,|$)'"
else
    fail "the splash window appears while the server starts"
fi
if app=$(wait_window "Velta Demo" 30); then
    pass "the application's window shows the start page title"
    check "the splash is gone" bash -c "! xdotool search --onlyvisible --name '^Programm-Start$' > /dev/null"
    eval "$(xdotool getwindowgeometry --shell "$app")"
    for _ in $(seq 20); do
        screenshot "demo-start.png"
        # Inside the window only: its edge against the black screen would count too.
        deviation=$(convert "$BUILD/screenshots/demo-start.png" -crop $((WIDTH - 40))x$((HEIGHT - 40))+$((X + 20))+$((Y + 20)) \
            -format "%[fx:standard_deviation]" info:)
        [ "$(echo "$deviation > 0.05" | bc)" -eq 1 ] && break
        sleep 0.5
    done
    check "the start page is painted (deviation $deviation)" test "$(echo "$deviation > 0.05" | bc)" -eq 1
    # The process started while the server came up is the one the page uses.
    check "one web process shows the page ($(pgrep -P $HOST -f WebKitWebProcess | wc -l))" \
        test "$(pgrep -P $HOST -f WebKitWebProcess | wc -l)" = 1
    check "the host loads libsoup 3 and never libsoup 2" \
        bash -c "grep -q 'libsoup-3' /proc/$HOST/maps && ! grep -q 'libsoup-2' /proc/$HOST/maps"
    check "the application's browser data lives in its own folder" \
        bash -c "ls '$WORK/home/.local/share/velta/browser/'* > /dev/null 2>&1"
    check "the log tells the start" grep -q 'NavigationController::StartWebApp with startUrl url: http://localhost:[0-9]*/$' "$LOG"

    before=$(display_size)
    window_rect() { xdotool getwindowgeometry --shell "$app" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | cut -d= -f2 | paste -sd' '; }
    saved=$(window_rect)
    key "$app" alt+f
    for _ in $(seq 50); do [ "$(window_rect)" = "0 0 1280 1024" ] && break; sleep 0.1; done
    check "fullscreen covers the whole 1280x1024 screen from (0, 0) ($(window_rect))" test "$(window_rect)" = "0 0 1280 1024"
    check "fullscreen keeps the resolution the demo asks to keep" test "$(display_size)" = "$before"
    # The page follows the frame as soon as the engine has laid it out again:
    # its background, not the window's white, reaches the bottom-right corner.
    for _ in $(seq 50); do
        screenshot "demo-fullscreen.png"
        corner=$(convert "$BUILD/screenshots/demo-fullscreen.png" -crop 20x20+1250+994 -format "%[fx:mean<0.98]" info:)
        [ "$corner" = 1 ] && break
        sleep 0.1
    done
    check "fullscreen: the page fills the screen to its bottom-right corner" test "$corner" = 1
    # The page's own header band (dark green) starts at the screen's top row.
    top=$(convert "$BUILD/screenshots/demo-fullscreen.png" -crop 200x2+0+0 -format "%[fx:mean.g>mean.r+0.1]" info:)
    check "fullscreen: the page's top row is visible at the screen's top" test "$top" = 1
    key "$app" alt+w
    for _ in $(seq 50); do [ "$(window_rect)" = "$saved" ] && break; sleep 0.1; done
    check "windowmode returns to the saved rectangle ($(window_rect), was $saved)" test "$(window_rect)" = "$saved"
    check "no error-level entry in a normal run" bash -c "! grep -q ': Error: ' '$LOG'"

    key "$app" alt+e
    for _ in $(seq 30); do [ -s "$WORK/opened.txt" ] && break; sleep 0.1; done
    check "an external link reaches the default browser" grep -qx 'https://www.example.org/velta' "$WORK/opened.txt"
    check "the BROWSER list's first runnable command got its options and the URL" \
        grep -qx -- '--new-window|https://www.example.org/velta|' "$WORK/arguments.txt"
    key "$app" alt+d
    for _ in $(seq 30); do [ "$(wc -l < "$WORK/opened.txt")" -ge 2 ] && break; sleep 0.1; done
    check "a path named external does too" grep -q '/docs/index.html$' "$WORK/opened.txt"
    check "neither loaded inside" test "$(xdotool getwindowname "$app")" = "Velta Demo"

    group=$(server_group)
    key "$app" alt+q
    timed_exit 10
    check "quit: exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
    # Two status checks a tick, one tick a second: the server's end is seen at
    # the second or third tick.
    check "quit: within about 3 s (took $TOOK)" test "$(echo "$TOOK < 3.5" | bc)" -eq 1
    check "quit: the shutdown command was loaded" grep -q "VELTANavigationController::FilterUrl javascript:fetch('/shutdown', {method: 'POST'})" "$LOG"
    check "quit: it reached the server as a POST" grep -q 'server: POST /shutdown' "$LOG"
    check "quit: no process of the server's group is left" group_gone "$group"
else
    fail "the application's window shows the start page title"
fi
kill -9 "$HOST" 2>/dev/null

# --- Closing the window as a window manager would, after a full screen that
# switches the display to 1024x768.
sed -i -e 's#--start-delay 3#--start-delay 0#' -e 's# keepresolution="true"##' "$APP/app.config.xml"
start_host
if app=$(wait_window "Velta Demo" 30); then
    before=$(display_size)
    key "$app" alt+f
    for _ in $(seq 50); do [ "$(display_size)" = "1024x768" ] && break; sleep 0.1; done
    check "fullscreen switches the display to 1024x768 (from $before)" test "$(display_size)" = "1024x768"
    rect=$(xdotool getwindowgeometry --shell "$app" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | cut -d= -f2 | paste -sd' ')
    check "the frame covers exactly the 1024x768 display ($rect)" test "$rect" = "0 0 1024 768"
    key "$app" alt+w
    for _ in $(seq 50); do [ "$(display_size)" = "$before" ] && break; sleep 0.1; done
    check "windowmode restores the display ($(display_size))" test "$(display_size)" = "$before"
    key "$app" alt+f
    for _ in $(seq 50); do [ "$(display_size)" = "1024x768" ] && break; sleep 0.1; done
    group=$(server_group)
    "$BUILD/tests/send-delete-request" "$app"
    timed_exit 15
    check "close: exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
    check "close: within about 2 s (took $TOOK)" test "$(echo "$TOOK < 2.5" | bc)" -eq 1
    check "close: the shutdown command reached the server" test "$(grep -c 'server: POST /shutdown' "$LOG")" -ge 2
    check "close: no process of the server's group is left" group_gone "$group"
    check "close: the display mode is restored on the way out ($(display_size))" test "$(display_size)" = "$before"
else
    fail "close: the application shows"
fi
kill -9 "$HOST" 2>/dev/null

# --- No server at all.
runs_before=$(grep -c 'ServerProcess::Start' "$LOG")
start_host -no_server
app=""
for _ in $(seq 100); do
    app=$(xdotool search --onlyvisible --pid "$HOST" 2>/dev/null | head -n 1)
    [ -n "$app" ] && break
    sleep 0.1
done
if [ -n "$app" ]; then
    pass "-no_server: the browser opens"
    check "-no_server: no server was started" test "$(grep -c 'ServerProcess::Start' "$LOG")" = "$runs_before"
    check "-no_server: the start page is asked for at the default port" grep -q 'StartWebApp with startUrl url: http://localhost:80/$' "$LOG"
    check "-no_server: no watchdog while there is nothing to undo" test -z "$(pgrep -P "$HOST" -x velta-watchdog)"
    "$BUILD/tests/send-delete-request" "$app"
    timed_exit 10
    check "-no_server: closes with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
else
    fail "-no_server: the browser opens"
fi
kill -9 "$HOST" 2>/dev/null

# --- A real Tomcat.
TOMCAT="$WORK/tomcat"
cp -r "$BUILD/examples/tomcat" "$TOMCAT"
rm -f "$TOMCAT/velta-host"; ln -s "$BUILD/velta-host" "$TOMCAT/velta-host"
sed -i "s#<object name=\"Logging\"[^>]*>#<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"tomcat.log\" level=\"message\"/>#" "$TOMCAT/app.config.xml"
( cd / && exec "$TOMCAT/velta-host" ) > "$WORK/tomcat.out" 2>&1 &
HOST=$!
if app=$(wait_window "Velta on Tomcat" 60); then
    pass "Tomcat: the application shows"
    group=$(grep -o 'ServerProcess::Start. Process [0-9]*' "$TOMCAT/tomcat.log" | awk '{print $3}')
    key "$app" alt+q
    # Tomcat undeploys its examples and manager first: slow on a busy machine.
    timed_exit 45
    check "Tomcat: quit exits with code 0 (got $EXIT_CODE, took $TOOK)" test "$EXIT_CODE" = 0
    check "Tomcat: ended by its shutdown page" grep -q 'terminated with exit code 0' "$TOMCAT/tomcat.log"
    check "Tomcat: no process of its group is left" group_gone "$group"
else
    fail "Tomcat: the application shows"
    tail -5 "$TOMCAT/tomcat.log" 2>/dev/null
fi
kill -9 "$HOST" 2>/dev/null
finish
