#!/bin/bash
# A fatal box says why: the server's reason, its last lines and the log's
# path, in the interface language; "Copy details" puts all of it on the
# clipboard, "Open log" hands the log to the desktop's program.
. "$(dirname "$0")/lib.sh"
KEY='class="configuration"'

start_wm
mkdir -p "$WORK/srv" "$WORK/bin" "$WORK/home"
export HOME="$WORK/home"
cat > "$WORK/srv/failing-server" <<'SH'
#!/bin/sh
echo "INFO: Starting service [Catalina]"
echo "SEVERE: Failed to initialize connector: database password rejected for user orders" >&2
exit 1
SH
chmod +x "$WORK/srv/failing-server"
# The desktop's opener: records what it is handed.
cat > "$WORK/bin/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$@" >> "$WORK/xdg-open.txt"
SH
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

app() { # app DIR LANGUAGE COMMAND [EXTRA]
    make_program_dir "$1" "<config>
  <object name=\"ServerDirectory\" $KEY>$WORK/srv</object>
  <object name=\"ServerStartCommand\" $KEY>$3</object>
  <object name=\"ServerUrl\" $KEY>http://localhost:VELTA_SERVER_PORT/status</object>
  <object name=\"ServerPort\" $KEY baseport=\"33470\"/>
  <object name=\"UILanguage\" $KEY>$2</object>
  <object name=\"AppDataDirectory\" $KEY>$1/data</object>
  <object name=\"Logging\" $KEY enable=\"true\" file=\"app.log\" level=\"message\"/>
  ${4:-}
</config>"
}

# fatal LANGUAGE CAPTION COPY-KEY OPEN-KEY REASON
fatal() {
    local lang=$1 caption=$2 dir="$WORK/app-$1"
    app "$dir" "$lang" "failing-server"
    LOG="$dir/data/app.log"
    ( cd / && exec "$dir/velta-host" ) > "$WORK/host-$lang.out" 2>&1 &
    local pid=$!
    local win
    if ! win=$(wait_window "$caption" 60); then
        fail "$lang: no box '$caption'"
        screenshot "fatal-details-$lang-failed.png"
        kill -9 "$pid" 2>/dev/null
        return
    fi
    pass "$lang: box '$caption' shown"
    # The box has laid itself out once the toolkit has mapped it.
    sleep 0.5
    screenshot "fatal-details-$lang.png"
    check "$lang: the log says the box's text with its reason" \
        grep -qF "Error: FatalError: $caption" "$LOG"
    # The log's own words are English: "Reason:", then the user's sentence.
    check "$lang: the reason is logged" grep -qF "Reason: ${5#*: }" "$LOG"

    : > "$WORK/xdg-open.txt"
    xclip -selection clipboard < /dev/null
    key "$win" "alt+$3"
    check "$lang: Copy details: the reason on the clipboard" clipboard_has "$5"
    check "$lang: Copy details: the server's last line" \
        clipboard_has "SEVERE: Failed to initialize connector: database password rejected for user orders"
    check "$lang: Copy details: its line before" clipboard_has "INFO: Starting service [Catalina]"
    check "$lang: Copy details: the log's full path" clipboard_has "$LOG"
    check "$lang: Copy details: the configuration's path" clipboard_has "$dir/app.config.xml"
    check "$lang: Copy details: the host's version" clipboard_has "velta-host "

    key "$win" "alt+$4"
    for _ in $(seq 100); do [ -s "$WORK/xdg-open.txt" ] && break; sleep 0.1; done
    check "$lang: Open log hands the log file to the desktop's program" \
        grep -qxF "$LOG" "$WORK/xdg-open.txt"

    check "$lang: the box still waits" kill -0 "$pid"
    press_return "$win"
    wait_exit "$pid" 15
    check "$lang: exit code 3 after OK (got $EXIT_CODE)" test "$EXIT_CODE" = 3
    kill -9 "$pid" 2>/dev/null
}

fatal en "Fatal error" c l "Reason: The server ended with exit code 1 while it was starting."
fatal de "Fehler" k p "Grund: Der Server hat sich mit dem Exit-Code 1 beendet, während er startete."

# A server that runs and never answers: the last status check is the reason;
# SIGTERM during the box ends the host with 3, the server gone before the box.
app "$WORK/silent" en "$BUILD/examples/appserver/velta-demo-server --port VELTA_SERVER_PORT --never-answer --root silent-marker" \
    "<object name=\"StartUrl\" $KEY timeout=\"4\"/>"
LOG="$WORK/silent/data/app.log"
( cd / && exec "$WORK/silent/velta-host" ) > "$WORK/host-silent.out" 2>&1 &
pid=$!
if win=$(wait_window "Fatal error" 60); then
    pass "silent: box shown"
    check "silent: the reason names the time and the last check" \
        grep -qE "Reason: The server did not answer within 4 seconds. The last check of http://localhost:[0-9]+/status said: " "$LOG"
    check "silent: the server was ended before the box" \
        bash -c '! pgrep -f "[n]ever-answer --root silent-marker" > /dev/null'
    kill -TERM "$pid"
    wait_exit "$pid" 5
    check "silent: SIGTERM during the box: exit code 3 (got $EXIT_CODE)" test "$EXIT_CODE" = 3
else
    fail "silent: no box"
    kill -9 "$pid" 2>/dev/null
fi

finish
