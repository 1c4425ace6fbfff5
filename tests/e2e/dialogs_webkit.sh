#!/bin/bash
# What a page asks of the user, with the real engine and the demo: alert,
# confirm and prompt through the library's dialogs, the answers back in the
# page, HTTP authentication, a drag out of the page refused, and view source.
. "$(dirname "$0")/lib.sh"

prepare_demo 0
start_host -d
app=$(wait_window "Velta Demo" 30) || { fail "the demo shows"; finish; exit 1; }
sleep 1
PORT=$(grep -o 'found port=[0-9]*' "$LOG" | tail -n 1 | cut -d= -f2)
ORIGIN="http://localhost:$PORT"

# Alert: the library's message box, titled with the page's origin; dismissed.
key "$app" alt+a
if box=$(wait_window "$ORIGIN" 10); then
    pass "an alert shows the library's message box"
    screenshot "dialog-alert.png"
    press_return "$box"
    check "dismissing it lets the page go on" wait_title "$app" "Velta Demo - alert done" 10
else
    fail "an alert shows the library's message box"
fi

# Confirm: Yes is the default answer and reaches the page.
key "$app" alt+c
if box=$(wait_window "$ORIGIN" 10); then
    screenshot "dialog-confirm.png"
    press_return "$box"
    check "the confirmation's answer reaches the page" wait_title "$app" "Velta Demo - confirm true" 10
else
    fail "a confirmation shows the library's message box"
fi

# Prompt: the resource dialog, its default text, the typed answer.
key "$app" alt+r
if box=$(wait_window "$ORIGIN" 10); then
    screenshot "dialog-prompt.png"
    xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.3
    xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "Ada Lovelace"; sleep 0.2
    xdotool key --clearmodifiers Return
    check "the prompt's answer reaches the page" wait_title "$app" "Velta Demo - prompt Ada Lovelace" 10
else
    fail "a prompt shows the library's dialog"
fi

# HTTP authentication through the user name and password dialog.
key "$app" alt+s
if box=$(wait_window "Authentication" 10); then
    pass "an authentication request shows the library's dialog"
    screenshot "dialog-authentication.png"
    xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.3
    xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "demo"
    xdotool key --clearmodifiers Tab; xdotool type --delay 20 "velta"; sleep 0.2
    xdotool key --clearmodifiers Return
    check "the protected page loads with the right credentials" wait_title "$app" "Velta Demo - Protected" 10
else
    fail "an authentication request shows the library's dialog"
fi
check "the engine's own dialogs never appeared" bash -c "! xdotool search --name 'Authentication Required' > /dev/null"

# A drag started in the page is refused by the drag hook.
key "$app" alt+b
wait_title "$app" "Velta Demo" 10 > /dev/null
X=0; Y=0
eval "$(xdotool getwindowgeometry --shell "$app" 2>/dev/null)"
xdotool mousemove $((X + 60)) $((Y + 40)) mousedown 1
for step in 10 20 40 80 120; do xdotool mousemove $((X + 60 + step)) $((Y + 40 + step)); sleep 0.1; done
xdotool mouseup 1
sleep 0.5
check "a drag out of the page is refused" grep -q ': AllowStartDrag$' "$LOG"

cp "$WORK/host.out" "$BUILD/dialogs-host.out" 2>/dev/null
key "$app" alt+q
wait_exit "$HOST" 10
cp "$LOG" "$BUILD/dialogs-host.log" 2>/dev/null
check "the demo quits cleanly (got $EXIT_CODE)" test "$EXIT_CODE" = 0

# View source: a new frame "View source" shows the page's source.
PAGE="$WORK/www"; mkdir -p "$PAGE"
printf '<!DOCTYPE html><html><head><title>Source me</title></head><body><p id="x">visible text</p></body></html>\n' > "$PAGE/index.html"
"$BUILD/examples/appserver/velta-demo-server" --port 36470 --root "$PAGE" > /dev/null 2>&1 &
printf '<c><object name="MainWindowRect" class="configuration" x="0" y="0" dx="700" dy="500"/></c>\n' > "$WORK/driver.xml"
FIFO="$WORK/in"; mkfifo "$FIFO"
( cd "$WORK" && timeout 60 "$BUILD/tests/browser-driver" driver.xml < "$FIFO" > "$WORK/driver.out" 2>&1 ) &
DRIVER=$!
exec 3> "$FIFO"
sleep 2
echo "load http://127.0.0.1:36470/index.html" >&3
sleep 2
echo "command 32780" >&3
if source=$(wait_window "http://127.0.0.1:36470/index.html" 15); then
    pass "view source opens a frame for the page's source"
    sleep 1
    screenshot "view-source.png"
    echo frames >&3; sleep 0.5
    check "the frame is registered" grep -q '^frames 2 ' "$WORK/driver.out"
    check "its first address is the view-source one" grep -q 'filter view-source:http://127.0.0.1:36470/index.html pass' "$WORK/driver.out"
else
    fail "view source opens a frame for the page's source"
fi
echo quit >&3
wait_exit "$DRIVER" 15
exec 3>&-
finish
