#!/bin/bash
# However the host ends, the server does not outlive it: the host killed with
# SIGKILL or crashing (SIGABRT), its watchdog ends the server's whole group
# (a grandchild included) and puts back a display mode the host changed.
. "$(dirname "$0")/lib.sh"

prepare_demo 0
ulimit -c 0 # a crash here needs no core file
# The display switch, where the demo keeps the resolution.
sed -i 's/keepresolution="true"/keepresolution="false"/' "$APP/app.config.xml"
# A server with a grandchild in its group and one that leaves it (setsid).
cat > "$WORK/escapee.sh" <<SH
#!/bin/sh
setsid sleep 301 &
exec "$BUILD/examples/appserver/start-with-grandchild.sh" "\$@"
SH
chmod +x "$WORK/escapee.sh"
sed -i "s#class=\"configuration\">velta-demo-server #class=\"configuration\">$WORK/escapee.sh #" "$APP/app.config.xml"
escapees() { ps -eo stat=,args= | awk '$1 !~ /^Z/ && $2 == "sleep" && $3 == "301"' | wc -l; }

display_size() { xdotool getdisplaygeometry | tr ' ' 'x'; }
server_group() { grep -o 'ServerProcess::Start. Process [0-9]*' "$LOG" | tail -n 1 | awk '{print $3}'; }
gone_within() { # gone_within PGID SECONDS: prints the seconds it took
    local begin=$(date +%s.%N)
    for _ in $(seq $(( $2 * 20 ))); do
        # Zombies are dead already; they only wait for init to collect them.
        if ! ps -o stat= -g "$1" 2>/dev/null | grep -qv '^Z'; then
            echo "$(date +%s.%N) - $begin" | bc; return 0
        fi
        sleep 0.05
    done
    return 1
}

# (An outside SIGSEGV is taken by the engine's own handler and ignored; a real
# fault ends the process like SIGABRT does.)
for how in KILL ABRT; do
    : > "$LOG" 2>/dev/null
    before=$(display_size)
    start_host
    if app=$(wait_window "Velta Demo" 60); then
        group=$(server_group)
        members=$(pgrep -g "$group" | wc -l)
        check "$how: the server runs with its grandchild (group $group, $members processes)" test "$members" -ge 2
        key "$app" alt+f
        for _ in $(seq 50); do [ "$(display_size)" = "1024x768" ] && break; sleep 0.1; done
        check "$how: full screen switched the display ($(display_size))" test "$(display_size)" = "1024x768"
        watchdog=$(pgrep -P $HOST -x velta-watchdog)
        kill -$how $HOST
        if took=$(gone_within "$group" 5); then
            pass "$how: the server's group is gone ${took} s after the host's death"
            check "$how: within 2 s" test "$(echo "$took < 2" | bc)" -eq 1
        else
            fail "$how: the server's group outlived the host"
            pkill -9 -g "$group" 2>/dev/null
        fi
        for _ in $(seq 50); do [ "$(display_size)" = "$before" ] && break; sleep 0.1; done
        check "$how: the display is back at $before ($(display_size))" test "$(display_size)" = "$before"
        check "$how: so is the process that left the group" bash -c "for _ in \$(seq 20); do [ \$(ps -eo stat=,args= | awk '\$1 !~ /^Z/ && \$2 == \"sleep\" && \$3 == \"301\"' | wc -l) = 0 ] && exit 0; sleep 0.1; done; exit 1"
        check "$how: the watchdog says what it did" grep -q "Watchdog: the host ended without cleaning up; server process group $group" "$LOG"
        check "$how: and is gone itself" bash -c "for _ in \$(seq 30); do kill -0 ${watchdog:-0} 2> /dev/null || exit 0; sleep 0.1; done; exit 1"
    else
        fail "$how: the application shows"
        kill -9 $HOST 2>/dev/null
    fi
    wait $HOST 2>/dev/null
done

# Host and watchdog killed together (as before there was one): the next start
# finds the server left behind, ends it and takes the same port again.
: > "$LOG"
start_host
if app=$(wait_window "Velta Demo" 60); then
    group=$(server_group)
    port=$(grep -o 'found port=[0-9]*' "$LOG" | tail -n 1)
    kill -9 $HOST $(pgrep -P $HOST -x velta-watchdog)
    wait $HOST 2>/dev/null
    sleep 0.5
    check "the server outlived host and watchdog (group $group)" pgrep -g "$group"
    : > "$LOG"
    start_host
    if app=$(wait_window "Velta Demo" 60); then
        check "the next start ended the server left behind" grep -q "a server of an earlier run was still running (process group $group): ended" "$LOG"
        check "and took the same port again ($port)" grep -q "$port\$" "$LOG"
        key "$app" alt+q
        wait_exit $HOST 60
    else
        fail "the next start shows the application"
    fi
else
    fail "the application shows for the left-behind server"
fi
pkill -9 -g "${group:-999999}" 2>/dev/null

# A normal quit leaves no watchdog behind.
start_host
if app=$(wait_window "Velta Demo" 60); then
    watchdog=$(pgrep -P $HOST -x velta-watchdog)
    check "a watchdog runs beside the host" test -n "$watchdog"
    key "$app" alt+q
    wait_exit $HOST 60
    check "quit: exit 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
    check "quit: the process that left the server's group is gone too ($(escapees))" test "$(escapees)" = 0
    check "quit: no watchdog left" bash -c "for _ in \$(seq 30); do kill -0 ${watchdog:-0} 2> /dev/null || exit 0; sleep 0.1; done; exit 1"
else
    fail "the application shows again"
fi

# Without a server the watchdog starts with the first display change, and
# puts the display back when the host is killed then.
FS="$WORK/fullscreen"
make_program_dir "$FS" "<c>
<object name=\"StartUrl\" class=\"configuration\">$FS/page.html</object>
<object name=\"CommandPrefix\" class=\"configuration\">velta:</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$FS</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
printf '%s' "<html><head><title>Soon full screen</title></head><body><script>
setTimeout(function () { location.href = 'velta:fullscreen'; }, 300);</script></body></html>" > "$FS/page.html"
before=$(display_size)
( cd / && exec "$FS/velta-host" -no_server ) > "$WORK/fullscreen.out" 2>&1 &
HOST=$!
for _ in $(seq 300); do [ "$(display_size)" = "1024x768" ] && break; sleep 0.1; done
if [ "$(display_size)" = "1024x768" ]; then
    check "-no_server: the display change started a watchdog" pgrep -P $HOST -x velta-watchdog
    kill -9 $HOST
    wait $HOST 2>/dev/null
    for _ in $(seq 50); do [ "$(display_size)" = "$before" ] && break; sleep 0.1; done
    check "-no_server: after the host's SIGKILL the display is back at $before ($(display_size))" test "$(display_size)" = "$before"
else
    fail "-no_server: the page's full-screen command switches the display ($(display_size))"
    kill -9 $HOST 2>/dev/null
fi
[ "$(display_size)" = "$before" ] || { echo "--- $FS/host.log"; tail -n 40 "$FS/host.log"; }
finish
