#!/bin/bash
# The browser library with the real engine: a loopback page in the hosted frame,
# the filter and its veto, windows that pages open and close, a download through
# the save dialog, and a shut-down with several frames open.
. "$(dirname "$0")/lib.sh"

PORT=35470
WWW="$WORK/www"
mkdir -p "$WWW" "$WORK/home"
cat > "$WWW/index.html" <<'HTML'
<!DOCTYPE html><html><head><title>Hosted page</title></head>
<body style="margin:0;background:#1f6f54;color:#fff;font:28px sans-serif"><h1>Velta</h1>
<p>A page served on loopback.</p></body></html>
HTML
cat > "$WWW/opener.html" <<'HTML'
<!DOCTYPE html><html><head><title>Opener</title></head><body>
<script>window.open('/child.html', 'kid', 'width=420,height=310');</script></body></html>
HTML
cat > "$WWW/child.html" <<'HTML'
<!DOCTYPE html><html><head><title>Child</title></head><body style="background:#36c">
<script>document.title = 'Child ' + (window.opener ? 'with opener' : 'alone');
setTimeout(function () { window.close(); }, 1500);</script></body></html>
HTML
cat > "$WWW/sneaky.html" <<'HTML'
<!DOCTYPE html><html><head><title>Sneaky</title></head><body>
<script>window.open('/forbidden.html', 'f', 'width=300,height=200');</script></body></html>
HTML
cat > "$WWW/three.html" <<'HTML'
<!DOCTYPE html><html><head><title>Three</title></head><body>
<script>window.open('/index.html', 'a', 'width=300,height=200'); window.open('/index.html', 'b', 'width=300,height=200');</script></body></html>
HTML
cat > "$WORK/app.config.xml" <<XML
<c><object name="MainWindowRect" class="configuration" x="20" y="20" dx="800" dy="600"/>
<object name="TempDirectory" class="configuration">$WORK</object>
<object name="BGColor" class="configuration">WHITE</object></c>
XML

"$BUILD/examples/appserver/velta-demo-server" --port $PORT --root "$WWW" > "$WORK/server.log" 2>&1 &
URL="http://127.0.0.1:$PORT"

FIFO="$WORK/in"; mkfifo "$FIFO"
OUT="$WORK/out"
( cd "$WORK" && HOME="$WORK/home" XDG_DATA_HOME="$WORK/home" timeout 120 "$BUILD/tests/browser-driver" app.config.xml < "$FIFO" > "$OUT" 2>&1 ) &
DRIVER=$!
exec 3> "$FIFO"
say() { echo "$1" >&3; }
wait_for() { # wait_for PATTERN SECONDS
    for _ in $(seq $(( $2 * 10 ))); do grep -q -- "$1" "$OUT" && return 0; sleep 0.1; done
    return 1
}

check "library starts with the real engine" wait_for "Browser engine: WebKitGTK" 20
check "hosted frame created" wait_for "hosted created" 10

say "load $URL/index.html"
check "the first navigation passes the filter" wait_for "filter $URL/index.html pass" 20
check "the page completes" wait_for "complete $URL/index.html" 20
sleep 1
win=$(xdotool search --name "^Hosted page$" | head -n 1)
check "the frame takes the page title" test -n "$win"
# The engine paints a moment after the load completes.
for _ in $(seq 20); do
    screenshot "browser-hosted.png"
    mean=$(convert "$BUILD/screenshots/browser-hosted.png" -crop 600x300+40+60 -format "%[fx:standard_deviation]" info:)
    [ "$(echo "$mean > 0.05" | bc)" -eq 1 ] && break
    sleep 0.5
done
check "the screenshot is not blank (deviation $mean)" test "$(echo "$mean > 0.05" | bc)" -eq 1

say "veto blocked"
say "load $URL/blocked.html"
check "a vetoed address is asked" wait_for "filter $URL/blocked.html veto" 10
sleep 1
check "and never loaded" bash -c "! grep -q 'before $URL/blocked.html' '$OUT'"

say "load $URL/opener.html"
check "a page's window is created and asked first" wait_for "filter $URL/child.html pass" 20
sleep 0.5
say frames
check "it is registered as New window 0 and shown" wait_for "frames 2 .*\\[Child with opener|shown" 10
check "the page's window shares its opener's web process" \
    test "$(pgrep -P "$(pgrep -x browser-driver | head -n 1)" -f WebKitWebProcess | wc -l)" = 1
check "it closes itself" wait_for "DestroyBrowserFrame" 10
sleep 0.5
say frames
check "and leaves the registry" wait_for "^frames 1 " 10

say "veto forbidden"
say "load $URL/sneaky.html"
check "a filtered first address is vetoed" wait_for "filter $URL/forbidden.html veto" 20
sleep 1
say frames
sleep 0.5
check "the new window is destroyed unseen" bash -c "[ \$(grep -c '^frames 1 ' '$OUT') -ge 2 ]"
check "it was never shown" bash -c "! xdotool search --onlyvisible --name '^New window 0$' > /dev/null"

# A download goes through the library's save dialog.
say "load $URL/download/report.txt"
if dialog=$(wait_window "Download" 20); then
    pass "a download opens the save dialog"
    screenshot "download-dialog.png"
    xdotool windowfocus --sync "$dialog" 2>/dev/null; sleep 0.5
    xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "$WORK/saved-report.txt"; sleep 0.3
    xdotool key --clearmodifiers Return
    for _ in $(seq 50); do [ -s "$WORK/saved-report.txt" ] && grep -q "line 100" "$WORK/saved-report.txt" && break; sleep 0.2; done
    check "the file is written where the user chose" grep -q "^line 100$" "$WORK/saved-report.txt"
    check "with the served bytes" bash -c "head -n 1 '$WORK/saved-report.txt' | grep -q '^Velta demo report$'"
else
    fail "a download opens the save dialog"
fi
say "load $URL/download/report.txt"
if dialog=$(wait_window "Download" 20); then
    xdotool windowfocus --sync "$dialog" 2>/dev/null; sleep 0.5
    xdotool key --clearmodifiers Escape
    sleep 1
    check "a cancelled download writes nothing" bash -c "[ \$(ls '$WORK' | grep -c report) -eq 1 ]"
else
    fail "the second download opens the save dialog"
fi

say "load $URL/three.html"
sleep 3
say frames
check "three frames open" wait_for "^frames 3 " 10
say quit
wait_exit $DRIVER 20
check "shut-down with three frames exits cleanly (got $EXIT_CODE)" test "$EXIT_CODE" = 0
check "the library stopped" grep -q "library exit 1" "$OUT"
check "every frame was destroyed" test "$(grep -c 'CBrowserView::DestroyBrowser' "$OUT")" -ge 5
exec 3>&-
finish
