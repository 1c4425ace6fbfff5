#!/bin/bash
# The demo's start page as a screen reader sees it (AT-SPI, read with
# pyatspi): its headings, buttons and links are reachable, and the keyboard
# focus is in the page at start, so that keys reach the application.
. "$(dirname "$0")/lib.sh"

private_session_bus
/usr/libexec/at-spi-bus-launcher --launch-immediately > "$WORK/atspi.out" 2>&1 &
LAUNCHER=$!
# The launcher ends its accessibility bus when asked to go; then the session's bus goes.
trap 'kill -TERM "$LAUNCHER" 2>/dev/null; wait "$LAUNCHER" 2>/dev/null; kill "$BUS_PID" 2>/dev/null; cleanup' EXIT
for _ in $(seq 100); do
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress > /dev/null 2>&1 && break
    sleep 0.1
done
export NO_AT_BRIDGE=0 GTK_A11Y=atspi
start_wm || { fail "the window manager starts"; finish; exit 1; }
prepare_demo
start_host
if app=$(wait_window "Velta Demo" 60); then
    wait_log "OnNavigateComplete: http://localhost:[0-9]*/$" 20
    /usr/bin/python3 "$HERE/accessibility/tree.py" "Velta Demo" > "$WORK/tree.txt" 2> "$WORK/tree.err"
    echo "# $(wc -l < "$WORK/tree.txt") objects: $(head -n 12 "$WORK/tree.txt" | tr '\n' '|')"
    check "the page is in the tree as a document" grep -q '^document web' "$WORK/tree.txt"
    check "its heading is reachable" grep -qx 'heading Velta demo application' "$WORK/tree.txt"
    check "a section heading" grep -qx 'heading Window' "$WORK/tree.txt"
    check "its buttons are reachable by name" grep -qx 'push button Alert' "$WORK/tree.txt"
    check "its links are reachable by name" grep -qx 'link Documentation' "$WORK/tree.txt"
    check "the window is the active one" grep -q '^states frame: active' "$WORK/tree.txt"
    # The keyboard focus is in the page at start: the very first key, Alt+I,
    # is the page's own access key and reaches it (no click, no Tab before it).
    xdotool key --clearmodifiers alt+i
    check "the keyboard focus is in the page at start: the first key reaches it" \
        wait_title "$app" "Velta Demo - Second page" 10
    [ "$FAILS" -gt 0 ] && { echo "--- tree"; cat "$WORK/tree.txt" "$WORK/tree.err" | head -60; }
else
    fail "the demo's window shows"
fi
kill -TERM "$HOST" 2>/dev/null
wait_exit "$HOST" 30
finish
