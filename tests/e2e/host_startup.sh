#!/bin/bash
# The host as a user starts it: a valid configuration, a missing and a broken
# one, the log file and its level, and an unwritable log directory.
. "$(dirname "$0")/lib.sh"
# The engine's profile goes below HOME: never the real one.
mkdir -p "$WORK/home"
export HOME="$WORK/home"

KEY='class="configuration"'

# Runs the host without a server and ends it from outside after $2 seconds, the
# way a session ends: it closes like a user closing it, with exit code 0.
run_briefly() { # run_briefly PROGRAM SECONDS [args...]
    local program=$1 seconds=$2
    shift 2
    timeout --preserve-status -s TERM "$seconds" "$program" -no_server "$@"
}

# A valid configuration: starts, logs, exits 0.
make_program_dir "$WORK/app" "<config>
  <object name=\"StartUrl\" $KEY>http://localhost:VELTA_SERVER_PORT/</object>
  <object name=\"Logging\" $KEY enable=\"true\" level=\"message\"/>
  <object name=\"AppDataDirectory\" $KEY>\${HOME}/logs/\${data.dir}</object>
</config>"
( cd / && HOME="$WORK/home" run_briefly "$WORK/app/velta-host" 4 )
rc=$?
check "valid configuration exits 0" test "$rc" -eq 0
LOG="$WORK/home/logs/velta/wxHostApp.log"
check "log directory created below HOME" test -f "$LOG"
check "start-up entry written" grep -q '^[0-9][0-9]:[0-9][0-9]:[0-9][0-9]: Program starting up ... (HostApp::OnInit)$' "$LOG"
check "exit entry written" grep -q ': Program exit ... (HostApp::OnExit)$' "$LOG"
check "working-directory entry never in the file" bash -c "! grep -q 'cwd' '$LOG'"
( cd / && HOME="$WORK/home" run_briefly "$WORK/app/velta-host" 4 )
check "a second run appends" test "$(grep -c 'Program starting up' "$LOG")" -eq 2
check "the first lines say version, configuration and log file" \
    grep -q "HostApp::OnInit velta-host [0-9.]*, configuration $WORK/app/app.config.xml, log $LOG\$" "$LOG"

# Only a start page configured: a window of a useful size in the middle, on
# every run; a configured size with center="true" in the middle too.
printf '<html><head><title>Sized page</title></head><body>x</body></html>' > "$WORK/sized.html"
make_program_dir "$WORK/sized" "<config>
  <object name=\"StartUrl\" $KEY>$WORK/sized.html</object>
</config>"
make_program_dir "$WORK/centred" "<config>
  <object name=\"StartUrl\" $KEY>$WORK/sized.html</object>
  <object name=\"MainWindowMode\" $KEY center=\"true\"/>
  <object name=\"MainWindowRect\" $KEY x=\"5\" y=\"5\" dx=\"600\" dy=\"400\"/>
</config>"
placed() { # placed DIR EXPECTED-RECT: the window's rectangle once shown
    ( cd / && exec "$1/velta-host" -no_server ) > /dev/null 2>&1 &
    local pid=$! win rect=""
    if win=$(wait_window "Sized page" 30); then
        for _ in $(seq 30); do
            rect=$(xdotool getwindowgeometry --shell "$win" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | cut -d= -f2 | paste -sd' ')
            [ "$rect" = "$2" ] && break
            sleep 0.1
        done
    fi
    kill -TERM $pid 2>/dev/null; wait_exit $pid 20 || kill -9 $pid 2>/dev/null
    echo "$rect"
}
for run in 1 2 3; do
    rect=$(placed "$WORK/sized" "128 128 1024 768")
    check "no size configured: 1024x768 in the middle, run $run ($rect)" test "$rect" = "128 128 1024 768"
    rect=$(placed "$WORK/centred" "340 312 600 400")
    check "center=\"true\" puts it in the middle, run $run ($rect)" test "$rect" = "340 312 600 400"
done

# Level "error" keeps progress out of the file, unless -d is given.
make_program_dir "$WORK/quiet" "<config>
  <object name=\"Logging\" $KEY enable=\"true\" level=\"Error\" file=\"quiet.log\"/>
</config>"
run_briefly "$WORK/quiet/velta-host" 4
check "level error logs no progress" bash -c "! grep -q 'Program starting up' '$WORK/quiet/quiet.log' 2>/dev/null"
check "but still says whose run it was" grep -q 'HostApp::OnInit velta-host' "$WORK/quiet/quiet.log"
run_briefly "$WORK/quiet/velta-host" 4 -d
check "-d logs progress despite level error" grep -q 'Program exit' "$WORK/quiet/quiet.log"

# An unwritable log directory: the run goes on and logs to standard error.
make_program_dir "$WORK/nolog" "<config>
  <object name=\"Logging\" $KEY enable=\"true\" level=\"message\"/>
  <object name=\"AppDataDirectory\" $KEY>/proc/velta-cannot-exist</object>
</config>"
run_briefly "$WORK/nolog/velta-host" 4 2> "$WORK/nolog.err"
rc=$?
check "unwritable log directory still exits 0" test "$rc" -eq 0
check "entries reach standard error instead" grep -q 'Program starting up' "$WORK/nolog.err"

# Missing and malformed configurations: the fatal box, then exit code 3.
fatal_box() { # fatal_box NAME DIR [SIGNAL]: the box answered with Return, or ended by SIGNAL
    ( cd / && exec "$2/velta-host" ) 2> "$WORK/$1.err" &
    pid=$!
    if win=$(wait_window "Fatal error" 30); then
        pass "$1: box 'Fatal error' shown"
        screenshot "fatal-$1.png"
        check "$1: process still waits for the user" kill -0 "$pid"
        if [ -n "${3:-}" ]; then
            kill -"$3" "$pid"
            wait_exit "$pid" 2
            check "$1: $3 while the box is open ends the host with exit code 3 within 2 s (got $EXIT_CODE)" \
                test "$EXIT_CODE" = 3
        else
            press_return "$win"
            wait_exit "$pid" 10
            check "$1: exit code 3 after OK (got $EXIT_CODE)" test "$EXIT_CODE" = 3
        fi
    else
        fail "$1: no box 'Fatal error'"
        echo "# windows: $(xdotool search --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | tr '\n' '|')"
        echo "# stderr: $(cat "$WORK/$1.err")"
        kill -9 "$pid" 2>/dev/null
    fi
    check "$1: error entry logged" grep -q 'Error: HostConfig::Load: Could not read host configuration!' "$WORK/$1.err"
}
make_program_dir "$WORK/missing" ""
fatal_box missing "$WORK/missing"
make_program_dir "$WORK/broken" "<config><object name=\"StartUrl\" $KEY>x</config>"
fatal_box broken "$WORK/broken"
# Ended from outside while it waits for the user: a session's end, Ctrl+C.
for signal in TERM INT HUP; do
    fatal_box "sig$signal" "$WORK/missing" "$signal"
done
# Nested deeper than any configuration needs: refused, never a stack overflow.
make_program_dir "$WORK/deep" "<config>$(printf '<d>%.0s' $(seq 26000))$(printf '</d>%.0s' $(seq 26000))</config>"
fatal_box deep "$WORK/deep"
check "deep: the reason is logged" grep -q 'XmlConfig::Load .*nested more than 512 deep' "$WORK/deep.err"

finish
