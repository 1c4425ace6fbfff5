#!/bin/bash
# A real flow editor (Node-RED, from npm at a pinned version) behind the host,
# under a real window manager: a node dragged from the palette onto the canvas
# and deployed, the editor's own Ctrl+F, undeployed changes asked about when
# the window closes, and closes through the window manager, again and again.
. "$(dirname "$0")/lib.sh"

if ! NODE_RED=$("$TOP/scripts/install-apps.sh" node-red) || ! command -v openbox > /dev/null; then
    fail "the flow editor (scripts/install-apps.sh node-red) and openbox are installed"
    finish
    exit 1
fi
export HOME="$WORK/home"
mkdir -p "$HOME" "$WORK/flows"
# What a team ships beside the configuration: the editor's settings, without
# the first-run tour and the question about update notifications.
cat > "$WORK/flows/settings.js" <<'JS'
module.exports = {
    flowFile: "flows.json",
    telemetry: { enabled: false },
    editorTheme: { tours: false },
};
JS
LOG="$WORK/flows.log"
make_program_dir "$WORK/app" "<configuration>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:VELTA_SERVER_PORT/</object>
<object name=\"ServerUrl\" class=\"configuration\">http://127.0.0.1:VELTA_SERVER_PORT/settings</object>
<object name=\"ServerDirectory\" class=\"configuration\">$NODE_RED/node_modules/.bin</object>
<object name=\"ServerStartCommand\" class=\"configuration\">node-red --port VELTA_SERVER_PORT --userDir $WORK/flows</object>
<object name=\"ServerPort\" class=\"configuration\" baseport=\"11880\"/>
<object name=\"UILanguage\" class=\"configuration\">en</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"flows.log\" level=\"message\"/>
</configuration>"
start_wm || { fail "the window manager starts"; finish; exit 1; }

EDITOR="Node-RED : Flow 1"
flows_host() {
    : > "$LOG"
    began=$(date +%s.%N)
    ( cd / && exec "$WORK/app/velta-host" ) > "$WORK/host.out" 2>&1 &
    HOST=$!
}
# Waits until the palette has its nodes: the editor is usable.
editor_ready() { wait_log 'Started flows' 60 && sleep 3; }
drag_inject() { # from the palette onto the canvas at ($2, $3)
    xdotool mousemove --window "$1" 103 153 mousedown 1; sleep 0.3
    for step in 1 2 3 4; do
        xdotool mousemove --window "$1" $((103 + ($2 - 103) * step / 4)) $((153 + ($3 - 153) * step / 4))
        sleep 0.15
    done
    xdotool mouseup 1; sleep 0.8
}
deployed_injects() { grep -o '"type": *"inject"' "$WORK/flows/flows.json" 2>/dev/null | wc -l; }
leave_box() { wait_window "http://127.0.0.1:$(grep -o 'found port=[0-9]*' "$LOG" | head -n 1 | cut -d= -f2)" "$1"; }
answer() { xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.3; xdotool key --clearmodifiers "alt+$2"; }

flows_host
if app=$(wait_window "$EDITOR" 90); then
    shown=$(since "$began")
    editor_ready
    pass "the flow editor shows, $shown s after the launch"
    screenshot "flows-start.png"
    drag_inject "$app" 398 280
    click_in "$app" 881 22 # Deploy
    deployed() { for _ in $(seq 100); do [ "$(deployed_injects)" -ge 1 ] && return 0; sleep 0.1; done; return 1; }
    check "a node dragged onto the canvas is deployed" deployed
    screenshot "flows-deployed.png"

    before=$(wc -l < "$LOG")
    click_in "$app" 420 500; sleep 0.3 # the canvas has the focus
    xdotool key --clearmodifiers ctrl+f; sleep 1
    screenshot "flows-search.png"
    check "Ctrl+F is the editor's (its flow search)" bash -c "! tail -n +$((before + 1)) '$LOG' | grep -q OnBrowserKey"
    check "and no find box of the host" bash -c "! xdotool search --onlyvisible --name '^Find in page$' > /dev/null"
    xdotool key --clearmodifiers Escape; sleep 0.5

    # --- Undeployed changes: No keeps them, Yes ends everything.
    drag_inject "$app" 398 400
    wm_close "$app"
    if box=$(leave_box 20); then
        pass "closing with undeployed changes asks"
        answer "$box" n
        sleep 1
        check "No: the host still runs" kill -0 $HOST
        check "No: the editor stays" wait_window "$EDITOR" 5
        wm_close "$app"
        if box=$(leave_box 20); then
            answer "$box" y
            check "Yes: the host ends" wait_exit $HOST 30
            check "Yes: with exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
            check "the deployed flow has the one deployed node" test "$(deployed_injects)" = 1
        else
            fail "the second close asks again"
        fi
    else
        screenshot "flows-close-failed.png"
        fail "closing with undeployed changes asks"
    fi
else
    screenshot "flows-start-failed.png"
    fail "the flow editor shows"
fi
kill -9 $HOST 2>/dev/null

# --- Closes without changes, through the window manager, at the first request.
for run in 1 2 3 4; do
    flows_host
    if app=$(wait_window "$EDITOR" 90); then
        editor_ready
        wm_close "$app"
        check "run $run: the window manager's close ends the host at the first request" wait_exit $HOST 15
        check "run $run: exit code 0 ($EXIT_CODE)" test "$EXIT_CODE" = 0
    else
        fail "run $run: the editor shows"
    fi
    kill -9 $HOST 2>/dev/null
done
finish
