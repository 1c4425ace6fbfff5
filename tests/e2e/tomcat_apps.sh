#!/bin/bash
# Debian's own Tomcat applications, unchanged, in the host on the Tomcat example:
# the MIME types and JSTL tag libraries real applications need, a JSP page with
# JSTL, the WebSocket echo example, the manager's login through the host's
# authentication dialog, then quit through the start page.
. "$(dirname "$0")/lib.sh"

for f in /usr/share/tomcat10/bin/catalina.sh /usr/share/tomcat10-examples/examples/WEB-INF/web.xml \
    /usr/share/tomcat10-admin/manager/WEB-INF/web.xml; do
    if [ ! -e "$f" ]; then
        echo "$f is missing: Tomcat 10 with its examples and manager is not installed (scripts/install-deps.sh installs it)"
        exit 1
    fi
done
if ! command -v curl > /dev/null; then
    echo "curl is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi

# A program folder of its own, with nothing compiled or logged by earlier runs.
TOMCAT="$WORK/tomcat"
cp -r "$BUILD/examples/tomcat" "$TOMCAT"
rm -rf "$TOMCAT/work" "$TOMCAT/logs" "$TOMCAT/temp" "$TOMCAT"/*.log
rm -f "$TOMCAT/velta-host"; ln -s "$BUILD/velta-host" "$TOMCAT/velta-host"
LOG="$TOMCAT/velta-tomcat.log"
ACCESS="$TOMCAT/logs/localhost_access_log.*.txt"
mkdir -p "$WORK/home"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/opened.txt"\n' "$WORK" > "$WORK/browser.sh"
chmod +x "$WORK/browser.sh"
export HOME="$WORK/home" BROWSER="$WORK/browser.sh"

wait_for() { # wait_for SECONDS COMMAND...: until the command succeeds
    local end=$(( $(date +%s) + $1 )); shift
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || return 1
        sleep 0.2
    done
}
in_log() { grep -qF -- "$1" "$LOG" 2>/dev/null; }
accessed() { cat $ACCESS 2>/dev/null | grep -qE -- "$1"; }
window_gone() { ! xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; }
close_window() { # close_window ID TITLE: as the window manager's close button would
    "$BUILD/tests/send-delete-request" "$1"
    check "the window \"$2\" closes" wait_for 10 window_gone "$2"
}
painted() { # painted WINDOW FILE: a screenshot once the window shows more than a blank page
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    for _ in $(seq 25); do
        screenshot "$2"
        colours=$(convert "$BUILD/screenshots/$2" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -format %k info: 2>/dev/null)
        [ "${colours:-0}" -gt 50 ] && return 0
        sleep 0.2
    done
    return 1
}
# As the host's browser asks: with the run's secret.
curl_app() { curl -H "Cookie: VELTA_SERVER_TOKEN=$TOKEN" "$@"; }
content_type() { curl_app -s -o /dev/null -w '%{content_type}' "$ORIGIN$1"; }
server_group() { grep -o 'ServerProcess::Start. Process [0-9]*' "$LOG" | tail -n 1 | awk '{print $3}'; }
group_gone() {
    [ -n "$1" ] || return 1
    for _ in $(seq 50); do pgrep -g "$1" > /dev/null || return 0; sleep 0.1; done
    return 1
}

BEGIN=$(date +%s)
# All of it through a dead proxy in the environment: loopback goes direct.
( cd / && export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 && exec "$TOMCAT/velta-host" ) > "$WORK/host.out" 2>&1 &
HOST=$!
if ! app=$(wait_window "Velta on Tomcat" 60); then
    fail "the start page shows"
    finish
    exit 1
fi
pass "the start page shows ($(( $(date +%s) - BEGIN )) s)"
GROUP=$(server_group)
# Whatever happens below, Tomcat does not outlive the test.
trap '[ -n "$GROUP" ] && kill -9 -- "-$GROUP" 2>/dev/null; cleanup' EXIT
PORT=$(grep -o 'found port=[0-9]*' "$LOG" | tail -n 1 | cut -d= -f2)
ORIGIN="http://127.0.0.1:$PORT"
TOKEN=$(server_token "$GROUP")
check "the start page is painted" painted "$app" "tomcat-start.png"

# Tomcat answers the host alone, every application of it.
status_of() { curl -s -o /dev/null -w '%{http_code}' "$@"; }
check "Tomcat has the run's secret" test "${#TOKEN}" -eq 43
for path in / /examples/ /manager/html; do
    check "no secret, $path: 401" test "$(status_of "$ORIGIN$path")" = 401
done
if id nobody > /dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
    check "another user: 401" test "$(runuser -u nobody -- curl -s -o /dev/null -w '%{http_code}' "$ORIGIN/")" = 401
fi
check "the secret, a rebinding Host: 403" \
    test "$(status_of -H "Cookie: VELTA_SERVER_TOKEN=$TOKEN" -H "Host: rebind.example:$PORT" "$ORIGIN/")" = 403
check "the secret, another site's POST: 403" \
    test "$(status_of -X POST -H "Cookie: VELTA_SERVER_TOKEN=$TOKEN" -H "Origin: http://evil.example" "$ORIGIN/shutdown")" = 403
check "and the server still runs" kill -0 "$GROUP"
check "the secret as a bearer token: 200" test "$(status_of -H "Authorization: Bearer $TOKEN" "$ORIGIN/")" = 200
check "Tomcat deployed the examples" in_log "Deployment of deployment descriptor [$TOMCAT/conf/Catalina/localhost/examples.xml] has finished"
check "and the manager" in_log "Deployment of deployment descriptor [$TOMCAT/conf/Catalina/localhost/manager.xml] has finished"

# What the trimmed configuration got wrong, from the server itself.
check "XHTML is served as XHTML" test "$(content_type /examples/websocket/echo.xhtml)" = "application/xhtml+xml"
check "SVG as SVG" test "$(content_type /manager/images/asf-logo.svg)" = "image/svg+xml"
check "CSV as CSV" test "$(content_type /applications.csv)" = "text/csv"
check "a JSPX page with JSTL's core and functions tags answers" \
    bash -c "curl -sf -H 'Cookie: VELTA_SERVER_TOKEN=$TOKEN' '$ORIGIN/examples/jsp/jsp2/jspx/textRotate.jspx?name=Velta%3Chost%3E' | grep -qF 'Velta&lt;host&gt;'"
check "a JSP page with JSTL's choose tag answers" \
    bash -c "curl -sf -H 'Cookie: VELTA_SERVER_TOKEN=$TOKEN' '$ORIGIN/examples/jsp/tagplugin/choose.jsp?by=test' | tr -s ' \\n' ' ' | grep -q '# 1: One!<br/> # 2: Huh?<br/> # 3: Three!'"

# (a) A JSP page with JSTL in a window of the host.
key "$app" alt+j
if page=$(wait_window "Tag Plugin Examples: forEach" 30); then
    pass "a JSP page with JSTL shows in the host"
    check "its title reached the host's frame" wait_for 5 in_log "SetBrowserFrameTitle: Tag Plugin Examples: forEach"
    check "Tomcat answered the host with 200" wait_for 10 accessed '"GET /examples/jsp/tagplugin/foreach.jsp HTTP/1.1" 200 '
    body=$(curl_app -s "$ORIGIN/examples/jsp/tagplugin/foreach.jsp?by=test" | tr -s ' \n' ' ')
    check "the page iterates with c:forEach" bash -c "echo '$body' | grep -q '1 2 3 4 5 6 7 8 9 10 .*One Two Three Four'"
    check "and is painted" painted "$page" "tomcat-jstl.png"
    close_window "$page" "Tag Plugin Examples: forEach"
else
    fail "a JSP page with JSTL shows in the host"
fi

# (b) The WebSocket echo example, opened by the start page, which then uses it
# as a user would (annotation API, Connect, Echo message) and shows the result
# in its title.
key "$app" alt+w
if page=$(wait_window "Apache Tomcat WebSocket Examples: Echo" 30); then
    pass "the WebSocket echo example shows in the host"
    check "the echo comes back over the WebSocket" \
        wait_title "$app" "Velta on Tomcat - WebSocket echo: received Here is a message!" 30
    check "Tomcat switched protocols for it" wait_for 10 accessed '"GET /examples/websocket/echoAnnotation HTTP/1.1" 101 '
    check "and is painted" painted "$page" "tomcat-websocket.png"
    close_window "$page" "Apache Tomcat WebSocket Examples: Echo"
else
    fail "the WebSocket echo example shows in the host"
fi

# (c) The manager: its login is the host's authentication dialog. A wrong
# password first: the dialog asks again.
log_in() { # log_in DIALOG USER PASSWORD
    xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.3
    xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "$2"
    xdotool key --clearmodifiers Tab; xdotool type --delay 20 "$3"; sleep 0.2
    xdotool key --clearmodifiers Return
}
another_dialog() { # another_dialog OLD-ID: prints the id of a new authentication dialog
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --name "^Authentication\$" 2>/dev/null); do
            [ "$id" != "$1" ] && { echo "$id"; return 0; }
        done
        sleep 0.2
    done
    return 1
}
key "$app" alt+m
if box=$(wait_window "Authentication" 30); then
    pass "the manager asks for a user through the host's authentication dialog"
    screenshot "tomcat-manager-login.png"
    log_in "$box" manager wrong
    if again=$(another_dialog "$box"); then
        pass "a wrong password: the dialog asks again"
        box=$again
    else
        fail "a wrong password: the dialog asks again"
    fi
    log_in "$box" manager velta
    if page=$(wait_window "/manager" 30); then
        pass "the documented user logs in: the manager's page shows"
        check "its title reached the host's frame" wait_for 5 in_log "SetBrowserFrameTitle: /manager"
        check "Tomcat asked for a user, twice" test "$(cat $ACCESS | grep -cE '^127\.0\.0\.1 - - .*"GET /manager/html HTTP/1.1" 401 ')" -ge 2
        check "and let the documented one in" wait_for 10 accessed '^127\.0\.0\.1 - manager .*"GET /manager/html HTTP/1.1" 200 '
        check "with its style sheet and images" wait_for 10 accessed '"GET /manager/images/asf-logo.svg HTTP/1.1" 200 '
        check "and is painted" painted "$page" "tomcat-manager.png"
        close_window "$page" "/manager"
    else
        fail "the documented user logs in: the manager's page shows"
        screenshot "tomcat-manager-failed.png"
        # A dialog still asking would keep the host from quitting.
        if box=$(wait_window "Authentication" 1); then key "$box" Escape; fi
    fi
else
    fail "the manager asks for a user through the host's authentication dialog"
fi
check "the engine's own dialogs never appeared" bash -c "! xdotool search --name 'Authentication Required' > /dev/null"
check "no page went to the default browser" test ! -s "$WORK/opened.txt"

# Quit through the start page: the shutdown page ends Tomcat.
key "$app" alt+q
quit_began=$(date +%s.%N)
wait_exit "$HOST" 30
check "the host quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" = 0
took=$(since "$quit_began")
check "at once, its shutdown request not held by the proxy ($took s)" test "$(echo "$took < 3" | bc)" -eq 1
check "Tomcat ended by its shutdown page" in_log "terminated with exit code 0"
check "no process of Tomcat's group is left" group_gone "$GROUP"
group_gone "$GROUP" && GROUP=""
check "no error in the host's log" bash -c "! grep -E '^[0-9:]+ Error:' '$LOG'"
echo "# took $(( $(date +%s) - BEGIN )) s"
kill -9 "$HOST" 2>/dev/null
finish
