#!/bin/bash
# Links that must not fool the host, with the real engine: other hosts of an
# application on port 80, user information, a mail link, frames that try to
# command the host or launch the browser, pop-ups and a download in a new window.
. "$(dirname "$0")/lib.sh"

APP="$WORK/app"
PAGES="$HERE/links"
# Port 80 is where a start URL without a port leads; elsewhere only as root.
PORT=80
python3 "$PAGES/server.py" $PORT 2> "$WORK/server.err" &
SERVER=$!
# The other host the frames load from, answering so that its frames get that far.
python3 "$PAGES/server.py" $PORT 127.0.0.2 2>> "$WORK/server.err" &
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
if ! kill -0 $SERVER 2>/dev/null; then
    PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    echo "# port 80 is not ours here: port $PORT"
    python3 "$PAGES/server.py" $PORT &
    SERVER=$!
    python3 "$PAGES/server.py" $PORT 127.0.0.2 &
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
fi
if [ "$PORT" = 80 ]; then START="http://127.0.0.1/"; else START="http://127.0.0.1:$PORT/"; fi
make_program_dir "$APP" "<c>
<object name=\"StartUrl\" class=\"configuration\">$START</object>
<object name=\"CommandPrefix\" class=\"configuration\">velta:</object>
<object name=\"MainWindowRect\" class=\"configuration\" x=\"100\" y=\"100\" dx=\"900\" dy=\"700\"/>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
LOG="$WORK/host.log"
recording_browser
export XDG_DOWNLOAD_DIR="$WORK/downloads"
mkdir -p "$WORK/home" "$WORK/downloads"
touch "$WORK/opened.txt"
( cd / && exec "$APP/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
HOST=$!

wait_opened() { # wait_opened LINE SECONDS
    for _ in $(seq $(( $2 * 10 ))); do grep -qxF -- "$1" "$WORK/opened.txt" && return 0; sleep 0.1; done
    return 1
}

if app=$(wait_window "Links App" 60); then
    pass "the application shows"
    check "a frame's own command is refused" wait_log "refused velta:quit: a command from a frame inside the page" 20
    check "so is its full-screen command" wait_log "refused velta:fullscreen: a command from a frame inside the page" 5
    check "external frames are kept out" wait_log "refused http://127.0.0.2/ad1.html: an external page is kept out" 10
    sleep 1 # anything the frames might still start has had its chance
    check "frames launch nothing ($(tr '\n' ' ' < "$WORK/opened.txt"))" test ! -s "$WORK/opened.txt"
    check "the host is still running" kill -0 $HOST
    eval "$(xdotool getwindowgeometry --shell "$app")"
    check "and not full screen (${WIDTH}x${HEIGHT})" test "$WIDTH" -lt 1280

    key "$app" alt+1
    check "another host without a port reaches the default browser" wait_opened "http://127.0.0.2/other.html" 20
    key "$app" alt+2
    check "a link with user information does too" wait_opened "http://127.0.0.1:x@127.0.0.2/userinfo.html" 20
    key "$app" alt+3
    check "a mail link reaches the desktop's handler" wait_opened "mailto:team@example.org?subject=Hi%20there" 20
    check "neither rendered inside: the page keeps its title" wait_title "$app" "Links App" 5
    key "$app" alt+4
    check "an internal URL with a colon in its query loads inside" wait_title "$app" "Inside 12:30" 20
    check "and never reached the browser" bash -c "! grep -q inside '$WORK/opened.txt'"
    key "$app" alt+b
    wait_title "$app" "Links App" 20 > /dev/null

    key "$app" alt+5
    if popup=$(wait_window "Pop-up page" 20); then
        pass "window.open without a size opens a frame"
        eval "$(xdotool getwindowgeometry --shell "$popup")"
        check "at least half the screen (${WIDTH}x${HEIGHT})" test "$WIDTH" -ge 640 -a "$HEIGHT" -ge 512
        check "entirely on screen ($X,$Y ${WIDTH}x${HEIGHT})" test "$X" -ge 0 -a "$Y" -ge 0 -a $((X + WIDTH)) -le 1280 -a $((Y + HEIGHT)) -le 1024
        "$BUILD/tests/send-delete-request" "$popup"
        for _ in $(seq 50); do xdotool search --onlyvisible --name "^Pop-up page$" > /dev/null || break; sleep 0.1; done
    else
        fail "window.open without a size opens a frame"
    fi
    key "$app" alt+6
    if dialog=$(wait_window "Download" 20); then
        xdotool windowfocus --sync "$dialog" 2>/dev/null; sleep 0.5
        xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "$WORK/report.bin"; sleep 0.3
        xdotool key --clearmodifiers Return
        check "a download through a new window is saved" bash -c "for _ in \$(seq 100); do [ -s '$WORK/report.bin' ] && exit 0; sleep 0.1; done; exit 1"
        for _ in $(seq 50); do xdotool search --onlyvisible --name "^New window [0-9]*$" > /dev/null || break; sleep 0.1; done
        check "and leaves no empty frame behind" bash -c "! xdotool search --onlyvisible --name '^New window [0-9]*$' > /dev/null"
    else
        fail "a download through a new window asks where to save it"
    fi
    # A window opened empty and then sent to the file, as notebooks do: the
    # dialog starts in the download folder, and the window goes too.
    mkdir -p "$WORK/downloads"
    windows_before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)
    key "$app" alt+9
    if dialog=$(wait_window "Download" 20); then
        xdotool windowfocus --sync "$dialog" 2>/dev/null; sleep 0.5
        xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "second-report.bin"; sleep 0.3
        xdotool key --clearmodifiers Return
        check "a name alone lands in the download folder" bash -c "for _ in \$(seq 100); do [ -s '$WORK/downloads/second-report.bin' ] && exit 0; sleep 0.1; done; exit 1"
        gone() { for _ in $(seq 50); do [ "$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)" -le "$windows_before" ] && return 0; sleep 0.1; done; return 1; }
        check "and the window opened for it is gone" gone
    else
        fail "a download in a window opened empty asks where to save it"
    fi
    # The application's context menu: nothing that opens windows or saves files.
    eval "$(xdotool getwindowgeometry --shell "$app")"
    xdotool mousemove $((X + 60)) $((Y + 25)) click 3
    check "a right click on a link opens the application's menu" wait_log "WebKitEngineView context menu: " 10
    menu=$(grep "WebKitEngineView context menu: " "$LOG" | tail -n 1 | sed 's/.*context menu: //')
    check "with clipboard entries ($menu)" bash -c "echo '$menu' | grep -q 'copy-link'"
    check "and no window or file entries" bash -c "! echo '$menu' | grep -Eqi 'window|download|save|open'"
    sleep 0.5
    screenshot "links-context-menu.png"
    xdotool key Escape

    # The keys people expect: reload, zoom, find, back.
    key "$app" alt+7
    if wait_title_like "$app" '^Keys 1 [0-9]+$' 20; then
        width=$(xdotool getwindowname "$app" | awk '{print $3}')
        key "$app" F5
        check "F5 reloads" wait_title_like "$app" "^Keys 2 $width\$" 20
        key "$app" ctrl+plus
        check "Ctrl+plus zooms in" bash -c "for _ in \$(seq 100); do w=\$(xdotool getwindowname $app | awk '{print \$3}'); [ -n \"\$w\" ] && [ \"\$w\" -lt $width ] && exit 0; sleep 0.1; done; exit 1"
        key "$app" ctrl+0
        check "Ctrl+0 resets the zoom" wait_title_like "$app" "^Keys 2 $width\$" 20
        key "$app" ctrl+f
        if finder=$(wait_window "Find in page" 20); then
            pass "Ctrl+F asks what to find"
            xdotool windowfocus --sync "$finder" 2>/dev/null; sleep 0.3
            xdotool type --delay 20 "needle"; sleep 0.2
            xdotool key --clearmodifiers Return
            check "and finds it in the page" wait_log "WebKitEngineView find 'needle': 1 found" 20
        else
            fail "Ctrl+F asks what to find"
        fi
        key "$app" alt+Left
        check "Alt+Left goes back" wait_title "$app" "Links App" 20
    else
        fail "the keys page shows"
    fi

    # An editor's own keys are the page's: the host acts only on keys it leaves.
    key "$app" alt+8
    if wait_title "$app" "Editor" 20; then
        : > "$LOG.keys"; before=$(wc -l < "$LOG")
        for k in ctrl+f ctrl+g alt+Left ctrl+shift+minus ctrl+r; do key "$app" "$k"; done
        check "the editor gets Ctrl+F, Ctrl+G, Alt+Left, Ctrl+Shift+Minus, Ctrl+R" \
            wait_title_like "$app" '^Editor ctrl\+f ctrl\+g alt\+arrowleft ctrl\+shift\+[-_] ctrl\+r$' 20
        tail -n +"$((before + 1))" "$LOG" > "$LOG.keys"
        check "and none of them is the host's" bash -c "! grep -q 'OnBrowserKey' '$LOG.keys'"
        check "no find box" bash -c "! xdotool search --onlyvisible --name '^Find in page$' > /dev/null"
        key "$app" F5
        check "a key the page leaves still is the host's (F5 reloads)" wait_log "CBrowserView::OnBrowserKey f5" 20
    else
        fail "the editor page shows"
    fi

    key "$app" alt+q
    check "the application's own quit ends the host" wait_exit $HOST 60
    check "with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
else
    fail "the application shows"
fi
check "no error in the log" bash -c "! grep -E '^[0-9:]+ Error:' '$LOG'"
finish
