#!/bin/bash
# velta-host -check_config as a user runs it: on the demo as installed, on a
# file with mistakes, and on one whose start program is missing. No window,
# no server, whatever the outcome.
. "$(dirname "$0")/lib.sh"

export HOME="$WORK/home"
mkdir -p "$HOME"
DESKTOP=${DISPLAY:-}
unset DISPLAY WAYLAND_DISPLAY # nothing of it may need a desktop

out=$("$BUILD/examples/demo/velta-host" -check_config); code=$?
echo "$out" | sed 's/^/# /'
check "the demo's own configuration has nothing to fix (exit $code)" test "$code" = 0
check "and says so" grep -qx "nothing to fix" <<< "$out"
check "it names the start program it would run" grep -q "^ok: start program .*/velta-demo-server$" <<< "$out"
check "and the log it would write" grep -q "^ok: log " <<< "$out"

APP="$WORK/misspelled"
make_program_dir "$APP" '<?xml version="1.0"?>
<c>
<object name="StartURL" class="configuration">http://localhost:VELTA_SERVER_PORT/</object>
<object name="MainWindowMode" class="configuration" fulscreen="true"/>
<configuration os="windows"><object name="StartAdresse" class="configuration"/></configuration>
</c>'
out=$("$APP/velta-host" -check_config); code=$?
echo "$out" | sed 's/^/# /'
check "a misspelled file is a file to fix (exit $code)" test "$code" = 1
check "the misspelled key, its line and the name meant" \
    grep -qx "$APP/app.config.xml:3: StartURL: unknown key; did you mean StartUrl?" <<< "$out"
check "the misspelled attribute" \
    grep -qx "$APP/app.config.xml:4: MainWindowMode fulscreen: unknown attribute; did you mean fullscreen?" <<< "$out"
check "another system's section is not read" bash -c "! grep -q StartAdresse <<< '$out'"
check "no start page at all" grep -q "^problem: StartUrl: none set" <<< "$out"
check "no window was opened and no log written" test ! -e "$APP/wxHostApp.log"

APP="$WORK/noprogram"
make_program_dir "$APP" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://localhost:VELTA_SERVER_PORT/</object>
<object name=\"ServerDirectory\" class=\"configuration\">$WORK/server</object>
<object name=\"ServerStartCommand\" class=\"configuration\">bin/start-it.sh VELTA_SERVER_PORT</object>
<object name=\"SplashScreenStart\" class=\"configuration\">splash.html</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/logs</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"app.log\"/>
</c>"
mkdir -p "$WORK/server"
out=$("$APP/velta-host" -check_config); code=$?
echo "$out" | sed 's/^/# /'
check "a missing start program is a problem (exit $code)" test "$code" = 1
check "named with where it was looked for" grep -q "^problem: ServerStartCommand: the start program 'bin/start-it.sh' is not found" <<< "$out"
check "a missing splash page too" grep -q "^problem: SplashScreenStart: no such file: $APP/splash.html" <<< "$out"
check "the server folder is there" grep -q "^ok: server folder $WORK/server" <<< "$out"
check "no server was started" bash -c "! pgrep -f 'bin/[s]tart-it' > /dev/null"

# A run says the same in its log, even at the level that keeps only errors.
APP="$WORK/run"
make_program_dir "$APP" "<c>
<object name=\"StartURL\" class=\"configuration\">about:blank</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/runlogs</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"error\"/>
</c>"
LOG="$WORK/runlogs/host.log"
if [ -n "$DESKTOP" ]; then
    ( cd / && DISPLAY=$DESKTOP exec "$APP/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
    HOST=$!
    check "a run warns about the misspelled key in its log" \
        wait_log "Warning: HostConfig::Load $APP/app.config.xml:2: StartURL: unknown key; did you mean StartUrl?" 30
    kill -TERM $HOST 2>/dev/null
    check "and ends as asked" wait_exit $HOST 30
fi
finish
