#!/bin/bash
# Where each kind of navigation goes, with the real engine: a counting host on
# 127.0.0.2, one on another port of 127.0.0.1 (the application's own host) and
# one under localhost. For each case: what the counting host received, what
# the desktop's browser was handed, and the window's title afterwards.
. "$(dirname "$0")/lib.sh"

APP="$WORK/app"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
PORT=$(free_port); OTHER=$(free_port); NAMED=$(free_port)
CASES="$HERE/links/cases.py"
echo "idle none" > "$WORK/next"
python3 "$CASES" app "$PORT" "$WORK/next" 2> "$WORK/server.err" &
python3 "$CASES" count 127.0.0.2 "$OTHER" "$WORK/count-foreign" "$PORT" 2>> "$WORK/server.err" &
python3 "$CASES" count 127.0.0.1 "$OTHER" "$WORK/count-inside" "$PORT" 2>> "$WORK/server.err" &
python3 "$CASES" count 127.0.0.1 "$NAMED" "$WORK/count-localhost" "$PORT" 2>> "$WORK/server.err" &
touch "$WORK/count-foreign" "$WORK/count-inside" "$WORK/count-localhost" "$WORK/opened.txt"
for p in $PORT $OTHER $NAMED; do
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$p/x" && break; sleep 0.1; done
done
make_program_dir "$APP" "<c>
<object name=\"StartUrl\" class=\"configuration\">http://127.0.0.1:$PORT/</object>
<object name=\"CommandPrefix\" class=\"configuration\">velta:</object>
<object name=\"MainWindowRect\" class=\"configuration\" x=\"50\" y=\"50\" dx=\"800\" dy=\"600\"/>
<object name=\"AppDataDirectory\" class=\"configuration\">$WORK</object>
<object name=\"Logging\" class=\"configuration\" enable=\"true\" file=\"host.log\" level=\"message\"/>
</c>"
LOG="$WORK/host.log"
recording_browser
# Nothing here goes through a proxy, whatever the machine's environment says.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
( cd / && exec "$APP/velta-host" -no_server ) > "$WORK/host.out" 2>&1 &
HOST=$!

lines() { wc -l < "$1"; }
TABLE="$WORK/table"
printf '%-13s %-10s %-6s %-48s %s\n' case target sent handed title > "$TABLE"

# run_case NAME KIND: KIND is foreign, inside or localhost.
run_case() {
    local name=$1 kind=$2 target count sent_before opened_before log_before sent handed title popup
    case $kind in
    foreign) target="http://127.0.0.2:$OTHER"; count="$WORK/count-foreign" ;;
    inside) target="http://127.0.0.1:$OTHER"; count="$WORK/count-inside" ;;
    localhost) target="http://localhost:$NAMED"; count="$WORK/count-localhost" ;;
    esac
    [ "$name" = unreachable ] && target=none
    echo "$name $target" > "$WORK/next"
    sent_before=$(lines "$count"); opened_before=$(lines "$WORK/opened.txt"); log_before=$(lines "$LOG")
    key "$app" alt+n
    CASE_SENT=-; CASE_HANDED=-; CASE_TITLE=-; CASE_TARGET=$target; CASE_LOG=
    if ! wait_title "$app" "Case $name" 20 > /dev/null; then
        fail "$name/$kind: the case page shows"; key "$app" alt+n; return
    fi
    [ "$name" = click ] && click_in "$app" 300 200
    # Until something happened: a request, a handed link, another title, a refusal.
    for _ in $(seq 150); do
        [ "$(lines "$count")" -gt "$sent_before" ] && break
        [ "$(lines "$WORK/opened.txt")" -gt "$opened_before" ] && break
        [ "$(xdotool getwindowname "$app" 2>/dev/null)" != "Case $name" ] && break
        tail -n +"$((log_before + 1))" "$LOG" | grep -q "refused .*frame inside the page" && break
        sleep 0.1
    done
    if [ "$kind" = inside ] && [ "$name" != iframe ] && [ "$name" != nested ]; then
        # A page of the application loads: wait for it, in the window or a new one.
        for _ in $(seq 100); do
            xdotool search --onlyvisible --name '^Reached ' > /dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    sleep 0.5 # whatever the engine sends after the decision has had its chance
    sent=$(( $(lines "$count") - sent_before ))
    handed=$(tail -n +"$((opened_before + 1))" "$WORK/opened.txt" | tr '\n' ' ' | sed 's/ $//')
    title=$(xdotool getwindowname "$app" 2>/dev/null)
    popup=$(xdotool search --onlyvisible --name '^Reached /popup$' 2>/dev/null | head -n 1)
    [ -n "$popup" ] && title="$title + window '$(xdotool getwindowname "$popup")'"
    printf '%-13s %-10s %-6s %-48s %s\n' "$name" "$kind" "$sent" "${handed:--}" "$title" >> "$TABLE"
    CASE_SENT=$sent; CASE_HANDED=$handed; CASE_TITLE=$title; CASE_TARGET=$target
    CASE_LOG=$(tail -n +"$((log_before + 1))" "$LOG")
    if [ -n "$popup" ]; then
        for w in $(xdotool search --onlyvisible --name '^Reached /popup$' 2>/dev/null); do
            "$BUILD/tests/send-delete-request" "$w"
        done
        for _ in $(seq 100); do xdotool search --onlyvisible --name '^Reached /popup$' > /dev/null || break; sleep 0.1; done
    fi
    true # every page shown has the way back to the next case (Alt+N)
}

# What the desktop is handed for each case that goes out.
expected_handed() { # expected_handed NAME TARGET
    case $1 in
    click) echo "$2/clicked" ;; script) echo "$2/script" ;; open) echo "$2/popup" ;;
    form-get) echo "$2/search?q=blue+sky" ;; form-post) echo "$2/pay" ;;
    redirect-302) echo "$2/r302" ;; redirect-307) echo "$2/r307" ;; meta) echo "$2/meta" ;;
    unreachable) echo "http://example.invalid/outside" ;; *) echo "" ;;
    esac
}
expected_path() { # the path the inside host sees for a case
    case $1 in
    click) echo /clicked ;; script) echo /script ;; open) echo /popup ;; form-get) echo "/search?q=blue+sky" ;;
    form-post) echo /pay ;; redirect-302) echo /r302 ;; redirect-307) echo /r307 ;; meta) echo /meta ;;
    iframe) echo /inner ;; nested) echo /nested ;;
    esac
}

start_wm || true
if app=$(wait_window "Case idle" 60); then
    pass "the application shows"
        for kind in foreign localhost inside; do
        for nav in click script open form-get form-post redirect-302 redirect-307 meta iframe nested; do
            run_case "$nav" "$kind"
            id="$nav/$kind"
            if [ "$kind" = inside ]; then
                check "$id: the application's other port gets it ($CASE_SENT)" test "$CASE_SENT" -ge 1
                check "$id: and nothing leaves ($CASE_HANDED)" test -z "$CASE_HANDED"
                case $nav in
                iframe | nested) check "$id: in its frame, the page stays ($CASE_TITLE)" test "$CASE_TITLE" = "Case $nav" ;;
                open) check "$id: in a window of its own ($CASE_TITLE)" test "$CASE_TITLE" = "Case open + window 'Reached /popup'" ;;
                *) check "$id: shown inside ($CASE_TITLE)" test "$CASE_TITLE" = "Reached $(expected_path "$nav")" ;;
                esac
                continue
            fi
            check "$id: not one request reaches the other host ($CASE_SENT)" test "$CASE_SENT" = 0
            check "$id: the desktop is handed '$(expected_handed "$nav" "$CASE_TARGET")' ($CASE_HANDED)" \
                test "$CASE_HANDED" = "$(expected_handed "$nav" "$CASE_TARGET")"
            check "$id: the application's page stays ($CASE_TITLE)" test "$CASE_TITLE" = "Case $nav"
            case $nav in
            form-post | redirect-307)
                check "$id: a warning says the form's data was not sent" \
                    grep -q "Warning: .*$CASE_TARGET/.*form's data was not sent" <<< "$CASE_LOG" ;;
            iframe | nested)
                check "$id: the frame's refusal is logged once" \
                    test "$(grep -c "refused $CASE_TARGET/.*frame inside the page" <<< "$CASE_LOG")" = 1 ;;
            esac
        done
    done
    run_case unreachable foreign
    check "unreachable: the desktop is handed it ($CASE_HANDED)" test "$CASE_HANDED" = "http://example.invalid/outside"
    check "unreachable: the application's page stays ($CASE_TITLE)" test "$CASE_TITLE" = "Case unreachable"
    echo "# where each navigation went:"; sed 's/^/# /' "$TABLE"
    cp "$TABLE" "$BUILD/links-foreign-table.txt" 2>/dev/null || true
    kill -TERM $HOST
    check "the host ends" wait_exit $HOST 60
else
    fail "the application shows"
fi
check "no error in the log" bash -c "! grep -E '^[0-9:]+ Error:' '$LOG'"
finish
