#!/bin/bash
# velta-host beside the floor, a bare WebKitGTK view (bench/floor-viewer.c), and
# beside Chromium --app where it is installed: the same local page, fresh
# profiles, alternating rounds under one virtual X server.
#
#   bench/side-by-side.sh [BUILD-DIR] [ROUNDS]      (default: build, 5 rounds)
#
# Prints one table (medians, min-max, ratios to the floor) and keeps the raw
# figures as JSON (bench-results.json in the current folder, or $VELTA_BENCH_JSON).
set -u
if [ -z "${DISPLAY:-}" ] || [ -z "${VELTA_BENCH_XVFB:-}" ]; then
    command -v xvfb-run > /dev/null || { echo "needs xvfb-run (package xvfb)" >&2; exit 2; }
    export VELTA_BENCH_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
for tool in xdotool python3 bc; do
    command -v $tool > /dev/null || { echo "needs $tool" >&2; exit 2; }
done
TOP=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$TOP/build}" && pwd)
ROUNDS=${2:-5}
JSON=${VELTA_BENCH_JSON:-$PWD/bench-results.json}
FLOOR="$BUILD/bench/velta-floor-viewer"
HOST="$BUILD/velta-host"
[ -x "$FLOOR" ] && [ -x "$HOST" ] || { echo "build first: $FLOOR, $HOST" >&2; exit 2; }
CHROMIUM=$(command -v chromium || true)
CHROMIUM_ROOT=
[ "$(id -u)" = 0 ] && CHROMIUM_ROOT=--no-sandbox
WORK=$(mktemp -d /tmp/velta-side-XXXXXX)
EVENTS="$WORK/events"
RAW="$WORK/raw"
: > "$EVENTS"
: > "$RAW"
cleanup() {
    [ -n "${PROGRAM_PID:-}" ] && kill_tree "$PROGRAM_PID"
    [ -n "${SERVER_PID:-}" ] && kill "$SERVER_PID" 2> /dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

python3 "$TOP/bench/bench-server.py" "$EVENTS" > "$WORK/port" 2> "$WORK/server.err" &
SERVER_PID=$!
for _ in $(seq 200); do [ -s "$WORK/port" ] && break; sleep 0.05; done
PORT=$(cat "$WORK/port")
[ -n "$PORT" ] || { echo "the page server did not start" >&2; exit 1; }
BASE="http://127.0.0.1:$PORT"

now() { date +%s.%N; }
tree_pids() { # the process and all its descendants
    local pids="$*" all="" next p
    while [ -n "$pids" ]; do
        all="$all $pids"
        next=""
        for p in $pids; do next="$next $(ps -o pid= --ppid "$p" 2> /dev/null)"; done
        pids=$(echo $next)
    done
    echo $all
}
kill_tree() {
    local pids
    pids=$(tree_pids "$1")
    kill -TERM $pids 2> /dev/null
    for _ in $(seq 100); do
        kill -0 $pids 2> /dev/null || return 0
        sleep 0.05
    done
    kill -KILL $pids 2> /dev/null
    wait "$1" 2> /dev/null
}
sum_field() { # FIELD FILE-PATTERN PIDS...: sum of a smaps_rollup / status field
    local field=$1 file=$2 t=0 p v
    shift 2
    for p in "$@"; do
        v=$(awk -v f="$field:" '$1 == f {print $2}' /proc/$p/$file 2> /dev/null)
        t=$((t + ${v:-0}))
    done
    echo $t
}
snapshot() { # PIDS...: one line per thread: pid tid cpu-ns context-switches
    local p t
    for p in "$@"; do
        for t in /proc/$p/task/*; do
            [ -r "$t/schedstat" ] || continue
            echo "$p ${t##*/} $(cut -d' ' -f1 "$t/schedstat" 2> /dev/null) $(awk \
                '/^(voluntary|nonvoluntary)_ctxt_switches:/ {s += $2} END {print s + 0}' \
                "$t/status" 2> /dev/null)"
        done
    done
}
delta() { # BEFORE AFTER FIELD [PID]: what the threads did in between (3 cpu-ns, 4 switches);
    # a thread born in between counts in full, one that ended is left out
    awk -v f="$3" -v only="${4:-}" 'NR == FNR {b[$2] = $f; next}
        only == "" || $1 == only {s += $f - ($2 in b ? b[$2] : 0)} END {print s + 0}' "$1" "$2"
}
wait_window() { # NAME-REGEX TIMEOUT-S: prints the window id
    local id deadline
    deadline=$(echo "$(now) + $2" | bc)
    while [ "$(echo "$(now) < $deadline" | bc)" = 1 ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.01
    done
    return 1
}
wait_event() { # WHAT TIMEOUT-S: prints the time the page measured (epoch s)
    local line deadline
    deadline=$(echo "$(now) + $2" | bc)
    while [ "$(echo "$(now) < $deadline" | bc)" = 1 ]; do
        line=$(grep " $1 " "$EVENTS" | tail -n 1)
        [ -n "$line" ] && { echo "$line" | awk '{printf "%.3f\n", $3 / 1000}'; return 0; }
        sleep 0.02
    done
    return 1
}

# The host's configuration: no server, window mode, the same window size.
host_config() { # DIR START-URL
    mkdir -p "$1"
    ln -sf "$HOST" "$1/velta-host"
    cat > "$1/app.config.xml" << EOF
<?xml version="1.0" encoding="UTF-8"?>
<velta>
  <configuration os="Linux">
    <object name="AppDataDirectory" class="configuration">$1/data</object>
    <object name="BrowserDataDirectory" class="configuration">$1/browser</object>
  </configuration>
  <object name="StartUrl" class="configuration">$2</object>
  <object name="MainWindowMode" class="configuration" fullscreen="false" center="true"/>
  <object name="MainWindowRect" class="configuration" x="0" y="0" dx="1024" dy="720"/>
  <object name="Logging" class="configuration" enable="true" file="host.log" level="message"/>
</velta>
EOF
}

launch() { # PROGRAM URL DIR: starts it, sets PROGRAM_PID
    local program=$1 url=$2 dir=$3
    : > "$EVENTS"
    case $program in
    host)
        host_config "$dir" "$url"
        "$dir/velta-host" -no_server > "$dir/stderr" 2>&1 &
        ;;
    floor)
        mkdir -p "$dir"
        "$FLOOR" "$url" "$dir/browser" > "$dir/stderr" 2>&1 &
        ;;
    chromium)
        mkdir -p "$dir"
        # As root (a container, a CI machine) it starts only without its sandbox.
        "$CHROMIUM" --app="$url" --user-data-dir="$dir/browser" --no-first-run $CHROMIUM_ROOT \
            --no-default-browser-check --disable-features=Translate --window-size=1024,720 \
            > "$dir/stderr" 2>&1 &
        ;;
    esac
    PROGRAM_PID=$!
}

record() { echo "$1 $2 $3 $4" >> "$RAW"; } # PROGRAM ROUND METRIC VALUE

measure_round() { # PROGRAM ROUND
    local program=$1 round=$2 dir="$WORK/$1-$2" t0 window paint tree
    local pss0 rss0 count0 pss1 count1
    t0=$(now)
    launch "$program" "$BASE/" "$dir"
    window=$(wait_window "^Velta bench$" 60) || { echo "$program: no window" >&2; return 1; }
    record "$program" "$round" title_s "$(echo "$(now) - $t0" | bc)"
    paint=$(wait_event paint 60) || { echo "$program: no paint" >&2; return 1; }
    record "$program" "$round" paint_s "$(echo "$paint - $t0" | bc)"
    sleep 4 # past the load and the page's own one-second report
    tree=$(tree_pids "$PROGRAM_PID")
    record "$program" "$round" pss_mb "$(echo "scale=1; $(sum_field Pss smaps_rollup $tree) / 1024" | bc)"
    record "$program" "$round" rss_mb "$(echo "scale=1; $(sum_field Rss smaps_rollup $tree) / 1024" | bc)"
    record "$program" "$round" ui_pss_mb "$(echo "scale=1; $(sum_field Pss smaps_rollup $PROGRAM_PID) / 1024" | bc)"
    record "$program" "$round" processes "$(echo $tree | wc -w)"
    snapshot $tree > "$WORK/before"
    sleep 10
    snapshot $(tree_pids "$PROGRAM_PID") > "$WORK/after"
    record "$program" "$round" idle_cpu_pct "$(echo "scale=3; $(delta "$WORK/before" "$WORK/after" 3) / 100000000" | bc)"
    record "$program" "$round" wakeups_tree "$(echo "scale=1; $(delta "$WORK/before" "$WORK/after" 4) / 10" | bc)"
    record "$program" "$round" wakeups_ui "$(echo "scale=1; $(delta "$WORK/before" "$WORK/after" 4 "$PROGRAM_PID") / 10" | bc)"

    # One pop-up, opened by a click on the page's link.
    pss0=$(sum_field Pss smaps_rollup $tree)
    count0=$(echo $tree | wc -w)
    xdotool mousemove --window "$window" 512 420 click 1
    if wait_window "^Velta bench pop-up( - Chromium)?$" 30 > /dev/null && wait_event popup-paint 30 > /dev/null; then
        sleep 3
        tree=$(tree_pids "$PROGRAM_PID")
        pss1=$(sum_field Pss smaps_rollup $tree)
        count1=$(echo $tree | wc -w)
        record "$program" "$round" popup_pss_mb "$(echo "scale=1; ($pss1 - $pss0) / 1024" | bc)"
        record "$program" "$round" popup_processes "$((count1 - count0))"
    else
        echo "$program: no pop-up in round $round" >&2
    fi
    kill_tree "$PROGRAM_PID"
    PROGRAM_PID=

    # 200 navigations in one window: the memory after the first and after the last.
    launch "$program" "$BASE/nav?n=1" "$dir-nav"
    if wait_event nav1 60 > /dev/null; then
        sleep 3
        pss0=$(sum_field Pss smaps_rollup $(tree_pids "$PROGRAM_PID"))
        if wait_event nav200 300 > /dev/null; then
            sleep 3
            pss1=$(sum_field Pss smaps_rollup $(tree_pids "$PROGRAM_PID"))
            record "$program" "$round" nav200_growth_pct "$(echo "scale=2; ($pss1 - $pss0) * 100 / $pss0" | bc)"
        else
            echo "$program: the navigations did not finish in round $round" >&2
        fi
    fi
    kill_tree "$PROGRAM_PID"
    PROGRAM_PID=
    rm -rf "$dir" "$dir-nav"
}

PROGRAMS="floor host"
[ -n "$CHROMIUM" ] && PROGRAMS="$PROGRAMS chromium"
echo "side by side: $PROGRAMS, $ROUNDS rounds, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)" >&2
for round in $(seq "$ROUNDS"); do
    # Alternate the order, so neither always runs on a machine the other just warmed.
    order=$PROGRAMS
    [ $((round % 2)) = 0 ] && order=$(echo $PROGRAMS | tr ' ' '\n' | tac | tr '\n' ' ')
    for program in $order; do
        echo "round $round: $program" >&2
        measure_round "$program" "$round"
    done
done

WEBKIT=$(pkg-config --modversion webkit2gtk-4.1 2> /dev/null || echo "?")
python3 "$TOP/bench/summary.py" "$RAW" "$JSON" "WebKitGTK $WEBKIT, $(nproc) cores, $ROUNDS rounds"
