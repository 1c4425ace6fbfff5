#!/bin/bash
# MainWindowMode remember="true" (the demo): the window's place, size,
# maximized state and zoom come back at the next start, on the screens present.
. "$(dirname "$0")/lib.sh"

start_wm || { fail "the window manager starts"; finish; exit 1; }
prepare_demo
STATE="$WORK/logs/window-state"
geometry() { # geometry WINDOW: sets X Y WIDTH HEIGHT (the client area)
    eval "$(xdotool getwindowgeometry --shell "$1")"
}
near() { # near A B: within 40 px (the window manager's frame)
    local d=$(( $1 - $2 )); [ "${d#-}" -le 40 ]
}
run_until_closed() { # closes window $1 through the window manager, waits for the host
    wm_close "$1"
    wait_exit "$HOST" 30
    check "closed: exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
}

# --- First run: the user moves, sizes and zooms; the close keeps it.
start_host
if app=$(wait_window "Velta Demo" 60); then
    xdotool windowsize "$app" 820 560
    xdotool windowmove "$app" 210 150
    wait_log "CBrowserFrame::OnSize with x=820, y=560" 10
    key "$app" ctrl+plus
    key "$app" ctrl+plus
    check "zoomed in twice" wait_log "CBrowserView::OnBrowserKey zoom 125%" 10
    geometry "$app"; X1=$X; Y1=$Y
    run_until_closed "$app"
    check "the place is kept in the application data folder" test -s "$STATE"
    # The frame's size as the toolkit counts it: the page's 820 x 560 and a little.
    check "with the size the user gave it" grep -qx "width=8[23][0-9]" "$STATE"
    check "and its height" grep -qx "height=5[6-9][0-9]" "$STATE"
    check "and the zoom" grep -qx "zoom=125" "$STATE"
    check "not maximized" grep -qx "maximized=false" "$STATE"
else
    fail "the demo's window shows"
fi
kill -9 "$HOST" 2>/dev/null

# --- Second run: back where it was; then maximized and closed.
start_host
if app=$(wait_window "Velta Demo" 60); then
    check "the log says where it comes back" wait_log "the window comes back at .* 8[23][0-9]x5[6-9][0-9], zoom 125%" 5
    sleep 1
    geometry "$app"
    check "the same size (${WIDTH}x$HEIGHT)" bash -c "[ $WIDTH = 820 ] && [ $HEIGHT = 560 ]"
    check "the same place ($X,$Y; was $X1,$Y1)" bash -c "$(declare -f near); near $X $X1 && near $Y $Y1"
    check "the zoom is back" wait_log "CBrowserView::SetZoomPercent 125%" 5
    wmctrl -i -r "$app" -b add,maximized_vert,maximized_horz
    for _ in $(seq 50); do xprop -id "$app" _NET_WM_STATE | grep -q MAXIMIZED_HORZ && break; sleep 0.1; done
    sleep 0.5
    run_until_closed "$app"
    check "maximized is kept" grep -qx "maximized=true" "$STATE"
    check "with the window's own size under it" grep -qx "width=8[23][0-9]" "$STATE"
else
    fail "the demo's window shows again"
fi
kill -9 "$HOST" 2>/dev/null

# --- Third run: maximized again.
start_host
if app=$(wait_window "Velta Demo" 60); then
    check "the window comes back maximized" bash -c "for _ in \$(seq 50); do xprop -id $app _NET_WM_STATE | grep -q MAXIMIZED_HORZ && exit 0; sleep 0.1; done; exit 1"
    screenshot window-remember-maximized.png
    run_until_closed "$app"
else
    fail "the demo's window shows a third time"
fi
kill -9 "$HOST" 2>/dev/null

# --- A place on a screen that is gone: back on this one.
printf 'x=3000\ny=2000\nwidth=700\nheight=500\nmaximized=false\nzoom=100\n' > "$STATE"
start_host
if app=$(wait_window "Velta Demo" 60); then
    sleep 1
    geometry "$app"
    check "a place off every screen comes back on this one ($X,$Y ${WIDTH}x$HEIGHT)" \
        bash -c "[ $X -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ $Y -ge 0 ] && [ $((Y + HEIGHT)) -le 1024 ]"
    check "with its size (${WIDTH}x$HEIGHT)" bash -c "[ $WIDTH -ge 690 ] && [ $WIDTH -le 700 ] && [ $HEIGHT -ge 470 ] && [ $HEIGHT -le 500 ]"
    run_until_closed "$app"
else
    fail "the demo's window shows on a screen that is present"
fi
kill -9 "$HOST" 2>/dev/null

# --- Without remember nothing is kept or read.
prepare_demo
rm -f "$STATE"
sed -i 's/ remember="true"//' "$APP/app.config.xml"
start_host
if app=$(wait_window "Velta Demo" 60); then
    run_until_closed "$app"
    check "without remember no file is written" test ! -e "$STATE"
else
    fail "the demo's window shows without remember"
fi
finish
