# Helpers for the end-to-end tests. Each test script sources this file with the
# build directory as its first argument.
set -u
BUILD=${1:?build directory}
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../.." && pwd)
WORK=$(mktemp -d /tmp/velta-e2e-XXXXXX)
FAILS=0
PASSES=0
trap 'cleanup' EXIT

cleanup() {
    # Nothing a test started may outlive it.
    for pid in $(jobs -p); do kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
}

pass() { PASSES=$((PASSES + 1)); echo "ok - $1"; }
fail() { FAILS=$((FAILS + 1)); echo "FAIL - $1"; }
check() { # check NAME COMMAND...
    name=$1; shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
    if [ "$FAILS" -gt 0 ]; then
        # What the host said, where the test runner prints it.
        for f in "${LOG:-}" "$WORK/host.out"; do
            [ -n "$f" ] && [ -s "$f" ] && { echo "--- $f (last 80 lines)"; tail -n 80 "$f"; }
        done
        [ -d "$BUILD/screenshots" ] && echo "--- screenshots in $BUILD/screenshots: $(ls "$BUILD/screenshots" | tr '\n' ' ')"
    fi
    echo "$PASSES passed, $FAILS failed"
    [ "$FAILS" -eq 0 ]
}

# Waits up to $2 seconds for a window whose title is $1; prints its id.
wait_window() {
    end=$(( $(date +%s) + $2 ))
    while [ "$(date +%s)" -le "$end" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.2
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; sets EXIT_CODE.
wait_exit() {
    end=$(( $(date +%s) + $2 ))
    while kill -0 "$1" 2>/dev/null; do
        if [ "$(date +%s)" -gt "$end" ]; then EXIT_CODE=timeout; return 1; fi
        sleep 0.1
    done
    wait "$1"
    EXIT_CODE=$?
    return 0
}

# Presses the default button of window $1 as a user would, with the keyboard.
press_return() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
    xdotool key --clearmodifiers Return
}

screenshot() { # screenshot FILE
    mkdir -p "$BUILD/screenshots"
    import -window root "$BUILD/screenshots/$1" 2>/dev/null
}

# A program folder with the host and the given configuration text.
make_program_dir() { # make_program_dir DIR CONFIG-TEXT
    mkdir -p "$1"
    ln -sf "$BUILD/velta-host" "$1/velta-host"
    [ -n "$2" ] && printf '%s\n' "$2" > "$1/app.config.xml"
    return 0
}

# The demo program folder in $APP, its server slowed by $1 seconds, its log in
# $LOG, the default browser a script that records into $WORK/opened.txt.
prepare_demo() {
    APP="$WORK/demo"
    mkdir -p "$APP" "$WORK/home"
    cp -r "$BUILD/examples/demo/webapp" "$APP/"
    ln -s "$BUILD/velta-host" "$APP/velta-host"
    sed -e "s#>../appserver<#>$BUILD/examples/appserver<#" \
        -e "s#--start-delay 1.5#--start-delay ${1:-0}#" \
        -e "s#<object name=\"AppDataDirectory\" class=\"configuration\">[^<]*<#<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/logs<#" \
        "$BUILD/examples/demo/app.config.xml" > "$APP/app.config.xml"
    LOG="$WORK/logs/velta-demo.log"
    recording_browser
}

# The default browser: a script that records into $WORK/opened.txt what it
# is handed (the last argument), and every argument into arguments.txt.
recording_browser() {
    mkdir -p "$WORK/home"
    touch "$WORK/opened.txt"
    cat > "$WORK/browser.sh" <<SH
#!/bin/sh
# The URL is the last argument; all of them are kept too.
for a; do last=\$a; done
printf '%s\n' "\$last" >> "$WORK/opened.txt"
printf '%s|' "\$@" >> "$WORK/arguments.txt"; echo >> "$WORK/arguments.txt"
SH
    chmod +x "$WORK/browser.sh"
    export BROWSER="$WORK/browser.sh" HOME="$WORK/home"
}

start_host() { # start_host [switches...]: the demo's host in the background as $HOST
    ( cd / && exec "$APP/velta-host" "$@" ) > "$WORK/host.out" 2>&1 &
    HOST=$!
}

key() { # key WINDOW KEYS
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers "$2"
}

# Waits up to $3 seconds for window $1's title to be $2.
wait_title() {
    for _ in $(seq $(( $3 * 10 ))); do
        [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ] && return 0
        sleep 0.1
    done
    echo "# title is: $(xdotool getwindowname "$1" 2>/dev/null)"
    return 1
}

# A real window manager on the test's display (openbox), as users have one.
start_wm() {
    # The last test's window manager may still be leaving the display: one
    # that finds it taken gives up, and is started again.
    local wm="" end=$(( $(date +%s) + 30 ))
    while [ "$(date +%s)" -le "$end" ]; do
        if [ -z "$wm" ] || ! kill -0 "$wm" 2>/dev/null; then
            openbox --sm-disable >> "$WORK/openbox.out" 2>&1 &
            wm=$!
        fi
        kill -0 "$wm" 2>/dev/null && wmctrl -m > /dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "# openbox did not start: $(tail -n 3 "$WORK/openbox.out" | tr '\n' ' ')"; return 1
}

# Closes window $1 through the window manager, as its title bar's X does
# (_NET_CLOSE_WINDOW; openbox sends WM_DELETE_WINDOW).
wm_close() { wmctrl -i -c "$1"; }

wait_log() { # wait_log PATTERN SECONDS: in $LOG
    for _ in $(seq $(( $2 * 10 ))); do grep -q -- "$1" "$LOG" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}

# Waits up to $3 seconds for window $1's title to match the regex $2.
wait_title_like() {
    for _ in $(seq $(( $3 * 10 ))); do
        xdotool getwindowname "$1" 2>/dev/null | grep -Eq -- "$2" && return 0
        sleep 0.1
    done
    echo "# title is: $(xdotool getwindowname "$1" 2>/dev/null)"
    return 1
}

# Clicks at ($2, $3) inside window $1's client area.
click_in() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Seconds since $1 (a `date +%s.%N`), two decimals.
since() { printf '%.2f' "$(echo "$(date +%s.%N) - $1" | bc)"; }

# The run's secret the host gave the server whose process is $1 (from its
# environment, readable by its own user and root only).
server_token() { tr '\0' '\n' < "/proc/$1/environ" 2>/dev/null | sed -n 's/^VELTA_SERVER_TOKEN=//p'; }

# Whether the clipboard holds TEXT, within 10 s.
clipboard_has() {
    for _ in $(seq 100); do
        xclip -o -selection clipboard 2>/dev/null | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    echo "# clipboard: $(xclip -o -selection clipboard 2>&1 | head -c 600)"
    return 1
}

# A session bus of the test's own (DBUS_SESSION_BUS_ADDRESS), ended with the test.
private_session_bus() {
    dbus-daemon --session --fork --print-address=1 --print-pid=1 > "$WORK/bus"
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$WORK/bus")
    BUS_PID=$(sed -n 2p "$WORK/bus")
    trap 'kill "$BUS_PID" 2>/dev/null; cleanup' EXIT
}

# The pages of tests/e2e/links on 127.0.0.1:$PORT, a free port, until the test ends.
serve_pages() {
    PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    python3 "$HERE/links/server.py" "$PORT" &
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
}
