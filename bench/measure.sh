#!/bin/bash
# Measures velta-host on the bundled demo under a virtual X server: start-up,
# memory of the process tree, idle CPU, quit; and the server controller and the
# browser library on their own. Public tools only (/proc, xdotool, date).
#
#   bench/measure.sh [BUILD-DIR] [INTERVAL-MS]   (under xvfb-run, or it starts one)
#
# INTERVAL-MS sets the demo's ServerUrl intervalMS (default: none, one second).
set -u
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
TOP=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$TOP/build}" && pwd)
INTERVAL=${2:-}
[ -f "$BUILD/examples/demo/app.config.xml" ] || { echo "build first: $BUILD/examples/demo" >&2; exit 2; }
WORK=$(mktemp -d /tmp/velta-bench-XXXXXX)
trap 'for p in $(jobs -p); do kill -9 $p 2>/dev/null; done; rm -rf "$WORK"' EXIT
now() { date +%s.%N; }
since() { echo "$(now) - $1" | bc; }
wait_name() {
    local id
    for _ in $(seq 1500); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.02
    done
    return 1
}

# Proportional set size (kB) of the given processes and all their descendants.
tree_pids() {
    local pids="$*" all="" next
    while [ -n "$pids" ]; do
        all="$all $pids"; next=""
        for p in $pids; do next="$next $(ps -o pid= --ppid "$p" 2>/dev/null)"; done
        pids=$(echo $next)
    done
    echo $all
}
pss_kb() { local t=0; for p in "$@"; do v=$(awk '/^Pss:/ {print $2}' /proc/$p/smaps_rollup 2>/dev/null); t=$((t + ${v:-0})); done; echo $t; }
cpu_ticks() { local t=0; for p in "$@"; do v=$(awk '{print $14 + $15}' /proc/$p/stat 2>/dev/null); t=$((t + ${v:-0})); done; echo $t; }
browser_tree() { # the host and the engine's processes, without the server's group
    local host=$1 group=$2 out=""
    for p in $(tree_pids "$host"); do
        [ "$(ps -o pgid= -p "$p" 2>/dev/null | tr -d ' ')" = "$group" ] || out="$out $p"
    done
    echo $out
}

echo "velta-host measurements ($(date -u +%Y-%m-%d), $(nproc) cores, $(uname -r)), status checks every ${INTERVAL:-1000} ms"
echo

# --- The host on the demo.
APP="$WORK/demo"; mkdir -p "$APP"
cp -r "$BUILD/examples/demo/webapp" "$APP/"
ln -s "$BUILD/velta-host" "$APP/velta-host"
sed -e "s#>../appserver<#>$BUILD/examples/appserver<#" -e "s#--start-delay 1.5#--start-delay 0#" \
    -e "s#<object name=\"AppDataDirectory\" class=\"configuration\">[^<]*<#<object name=\"AppDataDirectory\" class=\"configuration\">$WORK<#" \
    "$BUILD/examples/demo/app.config.xml" > "$APP/app.config.xml"
[ -n "$INTERVAL" ] && sed -i "s#<object name=\"ServerUrl\" class=\"configuration\"#& intervalMS=\"$INTERVAL\"#" "$APP/app.config.xml"
export HOME="$WORK/home"; mkdir -p "$HOME"
for run in 1 2 3; do
    rm -f "$WORK/velta-demo.log"
    t0=$(now)
    "$APP/velta-host" > "$WORK/host-$run.err" 2>&1 & host=$!
    wait_name "^Programm-Start$" > /dev/null && splash=$(since "$t0") || splash=-
    app=$(wait_name "^Velta Demo$")
    for _ in $(seq 500); do grep -q "OnNavigateComplete: http://localhost" "$WORK/velta-demo.log" 2>/dev/null && break; sleep 0.01; done
    loaded=$(since "$t0")
    echo "run $run: splash shown after ${splash} s, start page loaded after ${loaded} s"
    if [ "$run" = 3 ]; then
        sleep 3
        group=$(grep -o 'ServerProcess::Start. Process [0-9]*' "$WORK/velta-demo.log" | awk '{print $3}')
        tree=$(browser_tree "$host" "$group")
        echo "memory (PSS) of the host and the engine's processes: $(( $(pss_kb $tree) / 1024 )) MiB in $(echo $tree | wc -w) processes"
        echo "memory (PSS) of the demo server: $(( $(pss_kb $(tree_pids $group)) )) kB"
        c0=$(cpu_ticks $tree); sleep 10; c1=$(cpu_ticks $tree)
        echo "idle CPU over 10 s with the start page open: $(( c1 - c0 )) ticks of $(getconf CLK_TCK)/s ($(echo "scale=2; ($c1 - $c0) * 100 / $(getconf CLK_TCK) / 10" | bc) % of one core)"
    fi
    xdotool windowfocus --sync "$app" 2>/dev/null; sleep 0.3
    t1=$(now); xdotool key --clearmodifiers alt+q
    wait "$host"; rc=$?
    echo "        quit to exit: $(since "$t1") s (exit code $rc)"
    [ "$rc" = 0 ] || tail -n 5 "$WORK/host-$run.err" "$WORK/velta-demo.log"
done
echo

# --- The server controller alone, on the demo server.
cat > "$WORK/server.xml" <<XML
<c><object name="ServerDirectory" class="configuration">$BUILD/examples/appserver</object>
<object name="ServerStartCommand" class="configuration">velta-demo-server --port VELTA_SERVER_PORT</object>
<object name="ServerUrl" class="configuration">http://localhost:VELTA_SERVER_PORT/status</object>
<object name="ServerPort" class="configuration" baseport="37470"/></c>
XML
"$BUILD/tests/server-driver" "$WORK/server.xml" --stop-after-start > "$WORK/s1.out" 2>&1
started=$(awk '$2 == "started" {print $1}' "$WORK/s1.out"); closed=$(awk '$2 == "closed" {print $1}' "$WORK/s1.out")
request=$(awk '$2 == "close-request" {print $1}' "$WORK/s1.out")
echo "demo server: launch (0.100 s) to first answering poll at ${started} s (the first poll right after the launch, then once a second)"
echo "demo server: stop latency when it honours the shutdown URL: $(echo "$closed - $request" | bc) s"
sed -i 's#--port VELTA_SERVER_PORT#--port VELTA_SERVER_PORT --ignore-shutdown --ignore-term#' "$WORK/server.xml"
"$BUILD/tests/server-driver" "$WORK/server.xml" --stop-after-start > "$WORK/s2.out" 2>&1
closed=$(awk '$2 == "closed" {print $1}' "$WORK/s2.out"); request=$(awk '$2 == "close-request" {print $1}' "$WORK/s2.out")
exit_at=$(awk '$2 == "exit" {print $1}' "$WORK/s2.out")
echo "demo server: worst-case stop (ignores the shutdown URL and SIGTERM): closed after $(echo "$closed - $request" | bc) s, group killed and process ended after $(echo "$exit_at - $request" | bc) s"
echo

# --- The browser library alone, with the real engine.
WWW="$WORK/www"; mkdir -p "$WWW"
printf '<!DOCTYPE html><html><head><title>Bench</title></head><body><h1>Bench</h1></body></html>\n' > "$WWW/index.html"
printf '<!DOCTYPE html><html><head><title>Opener</title></head><body><script>window.open("/index.html","p","width=400,height=300")</script></body></html>\n' > "$WWW/opener.html"
"$BUILD/examples/appserver/velta-demo-server" --port 37480 --root "$WWW" > /dev/null 2>&1 &
printf '<c><object name="MainWindowRect" class="configuration" x="0" y="0" dx="800" dy="600"/></c>\n' > "$WORK/lib.xml"
mkfifo "$WORK/in"
t0=$(now)
( cd "$WORK" && "$BUILD/tests/browser-driver" lib.xml < "$WORK/in" > "$WORK/lib.out" 2>&1 ) &
exec 3> "$WORK/in"
echo "load http://127.0.0.1:37480/index.html" >&3
for _ in $(seq 1000); do grep -q "^complete http://127.0.0.1:37480/index.html" "$WORK/lib.out" && break; sleep 0.01; done
echo "library: start to first page loaded: $(since "$t0") s"
sleep 2
driver=$(pgrep -f "tests/browser-driver lib.xml" | head -n 1)
echo "library: PSS of the process tree with one page: $(( $(pss_kb $(tree_pids $driver)) / 1024 )) MiB"
echo "load http://127.0.0.1:37480/opener.html" >&3
sleep 3
echo "library: PSS of the process tree with one pop-up open: $(( $(pss_kb $(tree_pids $driver)) / 1024 )) MiB"
echo quit >&3
exec 3>&-
wait
