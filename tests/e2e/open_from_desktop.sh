#!/bin/bash
# Links of the application's own scheme and files from the desktop: on the
# first start's command line, and handed by a second start to the running
# host, which shows the matching page; nothing else gets in.
. "$(dirname "$0")/lib.sh"

start_wm || { fail "the window manager starts"; finish; exit 1; }
prepare_demo
mkdir -p "$WORK/files"
printf 'demo\n' > "$WORK/files/notes one.veltademo"
server_count() { pgrep -c -f -- "velta-demo-server --port [0-9]* --root webapp" || true; }

# --- The first start with a link: the start page, then the link's page.
start_host "demo-scheme:item/42"
if app=$(wait_window "Velta Demo - Opened demo-scheme:item/42" 60); then
    pass "the first start's link opens in the application"
    check "through OpenUrl, encoded" wait_log "OpenFromDesktop 'demo-scheme:item/42' -> http://localhost:[0-9]*/open.html?what=demo-scheme%3Aitem%2F42" 5
    check "after the start page" grep -q "OnNavigateComplete: http://localhost:[0-9]*/$" "$LOG"

    # --- A second start with a file, by a relative path from its own folder.
    begin=$(date +%s.%N)
    ( cd "$WORK/files" && exec "$APP/velta-host" "notes one.veltademo" ) > "$WORK/second.out" 2>&1
    rc=$?
    check "the second start ends at once with 0 ($rc, $(since "$begin") s)" test "$rc" = 0
    if wait_title "$app" "Velta Demo - Opened $WORK/files/notes one.veltademo" 10; then
        took=$(since "$begin")
        pass "the running window shows the file's page ($took s after the second start)"
        check "within a second or so on a busy machine ($took s)" test "$(echo "$took < 3" | bc)" -eq 1
    else
        fail "the running window shows the second start's file"
    fi
    check "one server still ($(server_count))" test "$(server_count)" = 1

    # --- file:// as a file manager hands it (%U), then a link: one after the other.
    ( cd / && exec "$APP/velta-host" "file://$WORK/files/notes%20one.veltademo" "demo-scheme:next" ) > "$WORK/third.out" 2>&1
    check "a file URL and a link: the last one's page shows" wait_title "$app" "Velta Demo - Opened demo-scheme:next" 10
    check "the file URL went as its path" wait_log "OpenFromDesktop file '$WORK/files/notes one.veltademo'" 5

    # --- What is not the application's own is logged and ignored.
    ( cd / && exec "$APP/velta-host" "velta:quit" "https://example.invalid/" "$WORK/files/missing" "--inspect" ) > "$WORK/fourth.out" 2>&1
    check "a host command from the command line is ignored" wait_log "OpenFromDesktop 'velta:quit' ignored: scheme 'velta' is not one of UrlSchemes" 5
    check "another scheme is ignored" wait_log "OpenFromDesktop 'https://example.invalid/' ignored" 5
    check "a missing file is ignored" wait_log "OpenFromDesktop '$WORK/files/missing' ignored: no such file" 5
    check "an unknown switch is ignored" wait_log "OpenFromDesktop '--inspect' ignored: not a switch of the host" 5
    check "the host still runs" kill -0 "$HOST"
    check "and shows what it showed" test "$(xdotool getwindowname "$app")" = "Velta Demo - Opened demo-scheme:next"
    check "nothing went to the desktop's browser" test ! -s "$WORK/opened.txt"
    screenshot open-from-desktop.png
    kill -TERM "$HOST"
    wait_exit "$HOST" 30
else
    fail "the first start's link opens in the application"
    screenshot open-from-desktop-failed.png
fi
kill -9 "$HOST" 2>/dev/null

# --- Without OpenUrl nothing is opened: the start page stays.
prepare_demo
sed -i '/name="OpenUrl"/d' "$APP/app.config.xml"
start_host "demo-scheme:item/7"
if app=$(wait_window "Velta Demo" 60); then
    check "without OpenUrl the link is logged and ignored" wait_log "'demo-scheme:item/7' ignored: no OpenUrl is configured" 10
    check "the start page stays" test "$(xdotool getwindowname "$app")" = "Velta Demo"
    kill -TERM "$HOST"
    wait_exit "$HOST" 30
else
    fail "the demo starts without OpenUrl"
fi
finish
