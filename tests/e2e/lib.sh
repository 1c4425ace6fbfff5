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
    rm -rf "$WORK"
}

pass() { PASSES=$((PASSES + 1)); echo "ok - $1"; }
fail() { FAILS=$((FAILS + 1)); echo "FAIL - $1"; }
check() { # check NAME COMMAND...
    name=$1; shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
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
