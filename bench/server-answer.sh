#!/bin/bash
# velta-host with an application server behind it (bench/bench-server.py, which
# starts listening after a delay): from launch to the first answering status
# check, and from that answer to the first paint of the start page.
#
#   bench/server-answer.sh [BUILD-DIR] [ROUNDS] [START-DELAY] [INTERVAL-MS]
#
# Defaults: build, 5 rounds, 1.5 s, no ServerUrl intervalMS (one second).
set -u
if [ -z "${DISPLAY:-}" ] || [ -z "${VELTA_BENCH_XVFB:-}" ]; then
    command -v xvfb-run > /dev/null || { echo "needs xvfb-run (package xvfb)" >&2; exit 2; }
    export VELTA_BENCH_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
TOP=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$TOP/build}" && pwd)
ROUNDS=${2:-5}
DELAY=${3:-1.5}
INTERVAL=${4:-}
[ -x "$BUILD/velta-host" ] || { echo "build first: $BUILD/velta-host" >&2; exit 2; }
WORK=$(mktemp -d /tmp/velta-answer-XXXXXX)
trap 'for p in $(jobs -p); do kill $p 2> /dev/null; done; [ -n "${VELTA_BENCH_KEEP:-}" ] || rm -rf "$WORK"' EXIT
# Debian's interpreter: a version manager's shim would add its own start-up.
PY=python3
[ -x /usr/bin/python3 ] && PY=/usr/bin/python3
attr=""
[ -n "$INTERVAL" ] && attr=" intervalMS=\"$INTERVAL\""

for round in $(seq "$ROUNDS"); do
    dir="$WORK/$round"
    mkdir -p "$dir"
    ln -s "$BUILD/velta-host" "$dir/velta-host"
    cat > "$dir/app.config.xml" << EOF
<?xml version="1.0" encoding="UTF-8"?>
<velta>
  <configuration os="Linux">
    <object name="ServerDirectory" class="configuration">$TOP/bench</object>
    <object name="ServerStartCommand" class="configuration">$PY $TOP/bench/bench-server.py $dir/events --port VELTA_SERVER_PORT --start-delay $DELAY</object>
    <object name="ServerPort" class="configuration" baseport="$((38400 + round * 10))"/>
    <object name="ServerUrl" class="configuration"$attr>http://127.0.0.1:VELTA_SERVER_PORT/status</object>
    <object name="AppDataDirectory" class="configuration">$dir/data</object>
    <object name="BrowserDataDirectory" class="configuration">$dir/browser</object>
  </configuration>
  <object name="StartUrl" class="configuration">http://127.0.0.1:VELTA_SERVER_PORT/</object>
  <object name="AppCommandShutdown" class="configuration">javascript:fetch('/shutdown', {method: 'POST'})</object>
  <object name="MainWindowMode" class="configuration" fullscreen="false" center="true"/>
  <object name="MainWindowRect" class="configuration" x="0" y="0" dx="1024" dy="720"/>
  <object name="Logging" class="configuration" enable="true" file="host.log" level="message"/>
</velta>
EOF
    t0=$(date +%s%3N)
    echo "$t0" > "$dir/launched"
    "$dir/velta-host" > "$dir/stderr" 2>&1 &
    host=$!
    for _ in $(seq 600); do grep -q " paint " "$dir/events" 2> /dev/null && break; sleep 0.05; done
    answered=$(awk '$2 == "answered" {print $3; exit}' "$dir/events" 2> /dev/null)
    paint=$(awk '$2 == "paint" {print $3; exit}' "$dir/events" 2> /dev/null)
    if [ -z "$answered" ] || [ -z "$paint" ]; then
        echo "round $round: no paint; the host's log:" >&2
        tail -n 20 "$dir/data/host.log" "$dir/stderr" >&2
        kill $host 2> /dev/null
        wait $host 2> /dev/null
        continue
    fi
    echo "$round $(echo "($answered - $t0) / 1000" | bc -l) $(echo "($paint - $answered) / 1000" | bc -l) $(echo "($paint - $t0) / 1000" | bc -l)" >> "$WORK/rows"
    kill -TERM $host 2> /dev/null
    wait $host 2> /dev/null
done
[ -s "$WORK/rows" ] || exit 1
python3 - "$WORK/rows" "$DELAY" "${INTERVAL:-1000}" << 'EOF'
import statistics, sys
rows = [list(map(float, line.split()[1:])) for line in open(sys.argv[1])]
print("server listening after %s s, status checks every %s ms, %d rounds" % (sys.argv[2], sys.argv[3], len(rows)))
for i, name in enumerate(["launch to first answering check", "answer to first paint", "launch to first paint"]):
    col = [r[i] for r in rows]
    print("  %-34s median %.3f s  (%.3f-%.3f)" % (name, statistics.median(col), min(col), max(col)))
EOF
