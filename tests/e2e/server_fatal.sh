#!/bin/bash
# Every way a server start can fail ends in the fatal message and exit code 3,
# with the right text, the right number of polls, and no server left behind.
. "$(dirname "$0")/lib.sh"

SERVER_DIR="$BUILD/examples/appserver"
DRIVER="$BUILD/tests/server-driver"

config() { # config FILE COMMAND [EXTRA-XML]
    cat > "$1" <<XML
<c>
  <object name="ServerDirectory" class="configuration">$SERVER_DIR</object>
  <object name="ServerStartCommand" class="configuration">$2</object>
  <object name="ServerUrl" class="configuration">http://localhost:VELTA_SERVER_PORT/status</object>
  <object name="ServerPort" class="configuration" baseport="${BASEPORT:-32470}"/>
  ${3:-}
</c>
XML
}

# run NAME [driver args...]: runs the driver on $WORK/NAME.xml; sets RC, OUT, LOG
run() {
    name=$1; shift
    LOG="$WORK/$name.log"; OUT="$WORK/$name.out"
    start=$(date +%s.%N)
    timeout 60 "$DRIVER" "$WORK/$name.xml" --log "$LOG" "$@" > "$OUT" 2>&1
    RC=$?
    SECONDS_TAKEN=$(echo "$(date +%s.%N) - $start" | bc)
}

polls() { grep -c 'ServerController::CheckServerStatus with Url' "$LOG"; }
no_server_left() { ! pgrep -f "velta-demo-server --port VELTA_DUMMY|$1" > /dev/null; }

# Start time limit 5 s: launch, four polls, give up; the server still starting is ended.
config "$WORK/limit5.xml" "velta-demo-server --port VELTA_SERVER_PORT --start-delay 100 --root limit5-marker" \
    '<object name="StartUrl" class="configuration" timeout="5"/>'
run limit5
check "timeout 5: exit code 3 (got $RC)" test "$RC" -eq 3
# Each poll tick checks twice: once to see whether the start is over, once
# before deciding whether to start.
check "timeout 5: four poll ticks after the launch (got $(polls) checks)" test "$(polls)" -eq 8
check "timeout 5: error entry" grep -q 'Error: VELTAServerController::DoStartAsync. max retries exceeded' "$LOG"
check "timeout 5: time-limit message" grep -q 'Fatal error: The time limit for starting the program has been exceeded. Please restart your computer and open the program again.' "$OUT"
check "timeout 5: the starting server was ended" no_server_left limit5-marker
check "timeout 5: the reason names the limit and the last check" \
    grep -qE "^Reason: The server did not answer within 5 seconds. The last check of http://localhost:[0-9]+/status said: " "$OUT"

# Start time limit 1 s: gives up at the first tick, after launching.
config "$WORK/limit1.xml" "velta-demo-server --port VELTA_SERVER_PORT --start-delay 100 --root limit1-marker" \
    '<object name="StartUrl" class="configuration" timeout="1"/>'
run limit1
check "timeout 1: exit code 3" test "$RC" -eq 3
check "timeout 1: launched" grep -q 'ServerProcess::Start. Process .* launched.' "$LOG"
check "timeout 1: no poll (got $(polls))" test "$(polls)" -eq 0
check "timeout 1: the server was ended" no_server_left limit1-marker

# A server that accepts and never answers: bounded polls, then the time limit.
config "$WORK/silent.xml" "velta-demo-server --port VELTA_SERVER_PORT --never-answer --root silent-marker" \
    '<object name="StartUrl" class="configuration" timeout="6"/>'
run silent
check "never answering: exit code 3" test "$RC" -eq 3
# Each check waits out its own time-outs; the limit still holds to about a second.
check "never answering: over after the 6 s limit, give or take a second (took $SECONDS_TAKEN)" \
    test "$(echo "$SECONDS_TAKEN > 5 && $SECONDS_TAKEN < 8" | bc)" -eq 1
check "never answering: the server was ended" no_server_left silent-marker

# A server that ends with -9000 during its start, in German.
config "$WORK/running.xml" "velta-demo-server --port VELTA_SERVER_PORT --start-delay 10 --exit-code -9000 --exit-after 0.3" \
    '<object name="UILanguage" class="configuration">DE</object>'
run running
check "-9000: exit code 3" test "$RC" -eq 3
check "-9000: German already-running message" grep -q 'Fehler: Die Anwendung ist bereits geöffnet. Bitte führen Sie einen Neustart' "$OUT"
check "-9000: termination logged with its exit code" grep -q 'terminated with exit code -40.' "$LOG"
check "-9000: German reason with the code and the phase" \
    grep -q '^Grund: Der Server hat sich mit dem Exit-Code 216 (läuft bereits) beendet, während er startete.' "$OUT"

# -8000 in English.
config "$WORK/default.xml" "velta-demo-server --port VELTA_SERVER_PORT --start-delay 10 --exit-code -8000 --exit-after 0.3"
run default
check "-8000: EXIT_CODE_DEFAULT message" grep -q 'The application has been shut down (EXIT_CODE_DEFAULT). Please open the program again.' "$OUT"

# A command that cannot be executed is a failed launch, not a server that ended.
config "$WORK/noexec.xml" "no-such-server --port VELTA_SERVER_PORT"
run noexec
check "not executable: exit code 3" test "$RC" -eq 3
check "not executable: execution failure logged" grep -q "Error: ServerProcess::Start. Execution of '$SERVER_DIR/no-such-server --port [0-9]*' failed." "$LOG"
check "not executable: start message" grep -q 'The application could not be started. Please restart your computer and open the program again.' "$OUT"
check "not executable: the reason names the program" \
    grep -qF "Reason: The server's start program '$SERVER_DIR/no-such-server' cannot be run (not found or not executable)." "$OUT"

# The same under -ignore_server_terminate: counted as launched, then the time limit.
config "$WORK/ignored.xml" "no-such-server --port VELTA_SERVER_PORT" \
    '<object name="StartUrl" class="configuration" timeout="3"/>'
run ignored -ignore_server_terminate
check "ignore_server_terminate: failure logged" grep -q "Execution of '$SERVER_DIR/no-such-server --port [0-9]*' failed." "$LOG"
check "ignore_server_terminate: counted as launched and polled" grep -q 'CheckServerStatus' "$LOG"
check "ignore_server_terminate: pid 1 never signalled, time limit reached" grep -q 'time limit for starting' "$OUT"

# No free port up to 65535.
"$SERVER_DIR/velta-demo-server" --port 65535 > /dev/null 2>&1 &
occupier=$!
sleep 0.5
BASEPORT=65535 config "$WORK/noport.xml" "velta-demo-server --port VELTA_SERVER_PORT"
run noport
kill "$occupier"
check "no free port: exit code 3" test "$RC" -eq 3
check "no free port: the range is named" grep -q 'Error: ServerController::GetFreeServerPort no free port in 65535-65535' "$LOG"
check "no free port: start message" grep -q 'The application could not be started.' "$OUT"
check "no free port: the reason" grep -q '^Reason: No free port from 65535 on.' "$OUT"

finish
