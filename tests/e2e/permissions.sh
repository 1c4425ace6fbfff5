#!/bin/bash
# Permissions with the real engine: the default asks for notifications and
# refuses the rest; the user's answer is kept for the next start; allow and
# deny from the configuration; a page of another origin is granted nothing.
. "$(dirname "$0")/lib.sh"

serve_pages
export HOME="$WORK/home"; mkdir -p "$HOME"
start_wm || { fail "the window manager starts"; finish; exit 1; }

# app NAME START-URL LANGUAGE [EXTRA-XML]: a program folder; its browser data stays per NAME
app() {
    make_program_dir "$WORK/$1" "<c>
<object name=\"StartUrl\" class=\"configuration\" useexternalbrowserforexternalurls=\"false\">$2</object>
<object name=\"UILanguage\" class=\"configuration\">$3</object>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK/$1</object>
<object name=\"BrowserDataDirectory\" class=\"configuration\">$WORK/$1/browser</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
${4:-}
</c>"
    LOG="$WORK/$1/host.log"
}
run() { # run NAME: the host, and the user presses the page's button
    ( cd / && exec "$WORK/$1/velta-host" -no_server ) >> "$WORK/host.out" 2>&1 &
    HOST=$!
    local win
    if win=$(wait_window "Velta Permissions" 60); then
        wait_log "OnNavigateComplete: .*/permissions.html" 10
        sleep 0.5
        key "$win" space
    fi
}
stop() { kill -TERM "$HOST" 2>/dev/null; wait_exit "$HOST" 30; kill -9 "$HOST" 2>/dev/null; }
URL="http://127.0.0.1:$PORT/permissions.html"
# The question is a dialog titled with the application's name, beside its window.
wait_question() {
    for _ in $(seq $(( $1 * 10 ))); do
        for w in $(xdotool search --onlyvisible --name '^Velta Permissions$' 2>/dev/null); do
            [ "$w" != "$(xdotool search --onlyvisible --name '^Velta Permissions$' 2>/dev/null | head -n 1)" ] && { echo "$w"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# --- The default: notifications are asked about, the position is refused.
app default "$URL" en
run default
if box=$(wait_question 30); then
    pass "ask: the host's own question, named after the application"
    screenshot permission-ask.png
    key "$box" alt+a # Allow; Return would take the safe default, Block
    if win=$(wait_window "permissions .*" 30); then
        check "allowed: the page was granted notifications ($(xdotool getwindowname "$win"))" \
            test "$(xdotool getwindowname "$win" | awk '{print $2}')" = granted
        check "the position is refused by default" \
            test "$(xdotool getwindowname "$win" | awk '{print $3}')" = denied
    else
        fail "the page reports what it was granted"
    fi
    check "the grant is logged" wait_log "permission notifications for http://127.0.0.1:$PORT granted: the user allowed it" 5
    check "the refusal is logged with kind and origin" \
        wait_log "permission geolocation for http://127.0.0.1:$PORT refused: denied by the configuration" 5
    check "the answer is kept in the application's browser data" \
        bash -c "grep -rqx 'allow http://127.0.0.1:$PORT notifications' '$WORK/default/browser'"
else
    fail "ask: the host's own question, named after the application"
fi
stop

# --- The next start uses the kept answer without asking.
run default
if win=$(wait_window "permissions .*" 60); then
    check "the kept answer holds at the next start ($(xdotool getwindowname "$win"))" \
        test "$(xdotool getwindowname "$win" | awk '{print $2}')" = granted
    check "nobody was asked" test "$(xdotool search --onlyvisible --name '^Velta Permissions$' 2>/dev/null | wc -l)" = 0
else
    fail "the next start shows the page without a question"
    screenshot permission-next-failed.png
fi
stop

# --- Asked in German, refused: denied now and at the next start.
app german "$URL" de
run german
if box=$(wait_question 30); then
    screenshot permission-ask-de.png
    xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.3
    xdotool key --clearmodifiers Escape
    if win=$(wait_window "permissions .*" 30); then
        check "refused: the page sees denied" \
            test "$(xdotool getwindowname "$win" | awk '{print $2}')" = denied
    else
        fail "the page reports the refusal"
    fi
    check "the refusal is logged" wait_log "permission notifications for http://127.0.0.1:$PORT refused: the user refused it" 5
else
    fail "the German question shows"
fi
stop

# --- Both asked: two questions, both answers kept and used at the next start.
app asked "$URL" en '<object name="Permissions" class="configuration" geolocation="ask"/>'
run asked
if box=$(wait_question 30); then
    key "$box" alt+a # notifications
    if box=$(wait_question 30); then
        screenshot permission-ask-geolocation.png
        key "$box" alt+a # the position
        check "the position was asked about and allowed" \
            wait_log "permission geolocation for http://127.0.0.1:$PORT granted: the user allowed it" 10
    else
        fail "the position is asked about after the notifications"
    fi
    if win=$(wait_window "permissions .*" 30); then
        check "granted: the host refuses nothing ($(xdotool getwindowname "$win"))" \
            test "$(xdotool getwindowname "$win")" != "permissions granted denied"
    fi
else
    fail "the first question shows"
fi
stop
run asked
if win=$(wait_window "permissions .*" 60); then
    check "next start: both kept answers, no question ($(xdotool getwindowname "$win"))" \
        bash -c "[ \"\$(xdotool getwindowname $win | awk '{print \$2, \$3}')\" != 'granted denied' ] && [ \"\$(xdotool getwindowname $win | awk '{print \$2}')\" = granted ]"
    check "the position from the kept answer" \
        wait_log "permission geolocation for http://127.0.0.1:$PORT granted: the user allowed it before" 10
else
    fail "the next start shows the page without questions"
fi
stop

# --- The configuration decides: deny notifications, allow the position.
app configured "$URL" en '<object name="Permissions" class="configuration" notifications="deny" geolocation="allow"/>'
run configured
if win=$(wait_window "permissions .*" 60); then
    title=$(xdotool getwindowname "$win")
    check "deny: notifications denied without a question ($title)" test "$(echo "$title" | awk '{print $2}')" = denied
    check "allow: the position is not refused by the host ($title)" test "$(echo "$title" | awk '{print $3}')" != denied
    check "the grant is logged" wait_log "permission geolocation for http://127.0.0.1:$PORT granted: allowed by the configuration" 5
else
    fail "the configured page reports"
fi
stop

# --- A page of another origin inside the window is granted nothing, even where the application may.
app foreign "http://127.0.0.1:$PORT/to-localhost.html" en '<object name="Permissions" class="configuration" notifications="allow" geolocation="allow"/>'
run foreign
if win=$(wait_window "permissions .*" 60); then
    title=$(xdotool getwindowname "$win")
    check "another origin: no notifications ($title)" test "$(echo "$title" | awk '{print $2}')" = denied
    check "another origin: no position ($title)" test "$(echo "$title" | awk '{print $3}')" = denied
    check "the refusal names the origin" \
        wait_log "permission geolocation for http://localhost:$PORT refused: not the application's origin" 5
else
    fail "the page of another origin reports"
fi
stop
finish
