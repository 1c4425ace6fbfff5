#!/bin/bash
# The host on a Wayland session: Debian's weston with its headless back end,
# the toolkit on its Wayland back end and no X display at all. The demo starts
# with its splash, shows a page that asks for full screen, and the compositor's
# screen is then the page's from corner to corner.
. "$(dirname "$0")/lib.sh"

prepare_demo 0
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Debian 13's weston (14) puts a window into full screen only when it has a
# seat, which its headless back end lacks; its X11 back end on the test's
# virtual X server has one. The host itself still runs with no X display.
backend=headless-backend.so
weston_major=$(weston --version 2>/dev/null | sed -n 's/^weston \([0-9]*\).*/\1/p')
[ -n "${DISPLAY:-}" ] && [ "${weston_major:-0}" -ge 14 ] && backend=x11-backend.so
echo "# weston ${weston_major:-?}, $backend"
weston --backend="$backend" --socket=velta-wl --width=1280 --height=1024 \
    --use-pixman --debug --idle-time=0 > "$WORK/weston.log" 2>&1 &
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/velta-wl" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/velta-wl" ]; then
    fail "weston starts"; cat "$WORK/weston.log"; finish; exit 1
fi

# A page of the application, in a colour the compositor's desktop never shows,
# that asks the host for full screen once it is loaded, and later to quit.
cat > "$APP/webapp/wayland.html" <<'HTML'
<!doctype html>
<html><head><meta charset="utf-8"><title>Velta on Wayland</title>
<style>html, body { margin: 0; height: 100%; background: #c02020; }</style></head>
<body><script>
setTimeout(function () { location.href = 'velta:fullscreen'; }, 300);
// Once full screen has held for a while (the test's screenshots), the page quits.
var timer = setInterval(function () {
  if (innerWidth === screen.width && innerHeight === screen.height) {
    clearInterval(timer);
    setTimeout(function () { location.href = 'velta:quit'; }, 6000);
  }
}, 100);
</script></body></html>
HTML
# Full screen asks for the 1024x768 mode, which only the compositor could give.
sed -i -e 's#>http://localhost:VELTA_SERVER_PORT/<#>http://localhost:VELTA_SERVER_PORT/wayland.html<#' \
    -e 's# keepresolution="true"##' "$APP/app.config.xml"

# Takes a screenshot of the whole compositor into $WORK/shot.png.
shoot() {
    rm -rf "$WORK/shots"; mkdir "$WORK/shots"
    (cd "$WORK/shots" && WAYLAND_DISPLAY=velta-wl weston-screenshooter > /dev/null 2>&1)
    mv "$WORK/shots"/*.png "$WORK/shot.png" 2>/dev/null
}
# Whether a region of the last screenshot is the page's red.
red() { # red GEOMETRY
    [ "$(convert "$WORK/shot.png" -crop "$1" -format "%[fx:mean.r>0.6 && mean.g<0.25 && mean.b<0.25]" info: 2>/dev/null)" = 1 ]
}

( unset DISPLAY; cd / && GDK_BACKEND=wayland WAYLAND_DISPLAY=velta-wl exec "$APP/velta-host" ) > "$WORK/host.out" 2>&1 &
HOST=$!

check "the splash is shown while the server starts" wait_log 'NavigationController::Start with splash url: file://' 30
check "the application shows with its title" wait_log 'SetBrowserFrameTitle: Velta on Wayland' 60
check "the page's full-screen command reaches the host" wait_log 'VELTANavigationController::FilterUrl velta:fullscreen' 30
check "the compositor gives the frame the whole output" wait_log 'CBrowserFrame::OnSize with x=1280, y=1024' 30
covered=no
for _ in $(seq 60); do
    shoot
    # The desktop's panel runs along the top; the window's corners are its own.
    if red 1280x40+0+0 && red 40x40+0+984 && red 40x40+1240+984; then covered=yes; break; fi
    sleep 0.25
done
mkdir -p "$BUILD/screenshots"; cp "$WORK/shot.png" "$BUILD/screenshots/wayland-fullscreen.png" 2>/dev/null
check "the page covers the whole 1280x1024 output" test "$covered" = yes
check "a session that cannot switch modes says so once, as a warning" \
    test "$(grep -c 'Warning: DisplayManager::EnterFullScreen keeps the current resolution' "$LOG")" = 1

group=$(grep -o 'ServerProcess::Start. Process [0-9]*' "$LOG" | tail -n 1 | awk '{print $3}')
wait_exit "$HOST" 40
check "the page's quit command ends the host (exit code $EXIT_CODE)" test "$EXIT_CODE" = 0
check "the server was shut down" grep -q 'server: POST /shutdown' "$LOG"
check "no process of the server's group is left" bash -c "! pgrep -g '$group' > /dev/null"
check "no error-level entry in the log" bash -c "! grep ': Error: ' '$LOG'"

# --- The remembered window (the demo keeps it): under Wayland its size comes
# back; its place is the compositor's.
printf 'x=300\ny=200\nwidth=700\nheight=500\nmaximized=false\nzoom=100\n' > "$WORK/logs/window-state"
sed -i 's#>http://localhost:VELTA_SERVER_PORT/wayland.html<#>http://localhost:VELTA_SERVER_PORT/<#' "$APP/app.config.xml"
( unset DISPLAY; cd / && GDK_BACKEND=wayland WAYLAND_DISPLAY=velta-wl exec "$APP/velta-host" ) > "$WORK/host2.out" 2>&1 &
HOST=$!
check "the remembered size comes back under Wayland" wait_log 'CBrowserFrame::OnSize with x=700, y=500' 60
kill -TERM "$HOST" 2>/dev/null
wait_exit "$HOST" 40
check "and the host ends on SIGTERM ($EXIT_CODE)" test "$EXIT_CODE" = 0
check "its size is kept again at the close" grep -qx 'width=700' "$WORK/logs/window-state"
finish
