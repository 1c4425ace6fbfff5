#!/bin/bash
# The stop sequence with real servers: one that honours the shutdown URL, one that
# ignores it, one that ignores the terminate signal too, and one whose start
# script leaves a grandchild. Nothing of the server's process group survives.
. "$(dirname "$0")/lib.sh"

SERVER_DIR="$BUILD/examples/appserver"
DRIVER="$BUILD/tests/server-driver"

config() { # config FILE COMMAND
    cat > "$1" <<XML
<c>
  <object name="ServerDirectory" class="configuration">$SERVER_DIR</object>
  <object name="ServerStartCommand" class="configuration">$2</object>
  <object name="ServerUrl" class="configuration">http://localhost:VELTA_SERVER_PORT/status</object>
  <object name="AppCommandShutdown" class="configuration">http://127.0.0.1:VELTA_SERVER_PORT/shutdown</object>
  <object name="ServerPort" class="configuration" baseport="33470"/>
</c>
XML
}

stop_run() { # stop_run NAME COMMAND
    config "$WORK/$1.xml" "$2"
    LOG="$WORK/$1.log"; OUT="$WORK/$1.out"
    timeout 60 "$DRIVER" "$WORK/$1.xml" --log "$LOG" --stop-after-start > "$OUT" 2>&1
    RC=$?
    PGID=$(awk '$2 == "pid" { print $3 }' "$OUT")
    REQUEST=$(awk '$2 == "close-request" { print $1 }' "$OUT")
    CLOSED=$(awk '$2 == "closed" { print $1 }' "$OUT")
    STOP_SECONDS=$(echo "${CLOSED:-999} - ${REQUEST:-0}" | bc)
    echo "# $1: stop took $STOP_SECONDS s"
}
group_gone() { # killed processes take a moment to disappear from the table
    [ -n "$PGID" ] || return 1
    for _ in $(seq 30); do pgrep -g "$PGID" > /dev/null || return 0; sleep 0.1; done
    return 1
}
lt() { test "$(echo "$1 < $2" | bc)" -eq 1; }
gt() { test "$(echo "$1 > $2" | bc)" -eq 1; }

stop_run honours "velta-demo-server --port VELTA_SERVER_PORT"
check "honours: exit 0" test "$RC" -eq 0
check "honours: stopping reported" grep -q ' stopping ' "$OUT"
check "honours: closed within 2 s ($STOP_SECONDS)" lt "$STOP_SECONDS" 2
check "honours: the server ended by itself" grep -q ' stopped 1' "$OUT"
check "honours: nothing of the group left" group_gone

stop_run ignores "velta-demo-server --port VELTA_SERVER_PORT --ignore-shutdown"
check "ignores shutdown: exit 0" test "$RC" -eq 0
check "ignores shutdown: killed at about 11 s ($STOP_SECONDS)" bash -c "$(declare -f lt gt); gt $STOP_SECONDS 10 && lt $STOP_SECONDS 13"
check "ignores shutdown: time-out entry" grep -q 'Error: VELTAServerController::Stop. timeout over -> full stop.' "$LOG"
check "ignores shutdown: terminate signal logged" grep -q 'ServerProcess::Stop. Kill ' "$LOG"
check "ignores shutdown: reported as killed" grep -q ' stopped 0' "$OUT"
check "ignores shutdown: nothing of the group left" group_gone

stop_run stubborn "velta-demo-server --port VELTA_SERVER_PORT --ignore-shutdown --ignore-term"
check "ignores SIGTERM too: exit 0" test "$RC" -eq 0
check "ignores SIGTERM too: closed by 15 s ($STOP_SECONDS)" lt "$STOP_SECONDS" 15
check "ignores SIGTERM too: nothing of the group left" group_gone

stop_run grandchild "start-with-grandchild.sh --port VELTA_SERVER_PORT"
check "grandchild: exit 0" test "$RC" -eq 0
check "grandchild: closed within 2 s ($STOP_SECONDS)" lt "$STOP_SECONDS" 2
check "grandchild: no process of the group left" group_gone

finish
