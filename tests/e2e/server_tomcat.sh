#!/bin/bash
# A real Tomcat started and stopped through the server controller: first answer,
# shutdown page, process end, nothing of its group left.
. "$(dirname "$0")/lib.sh"

BASE="$BUILD/examples/tomcat"
if [ ! -x /usr/share/tomcat10/bin/catalina.sh ] || [ ! -d /usr/share/tomcat10-examples/examples ] || [ ! -d /usr/share/tomcat10-admin/manager ]; then
    echo "Tomcat 10 with its examples and manager is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi
sed "s#<object name=\"ServerDirectory\" class=\"configuration\">.</object>#<object name=\"ServerDirectory\" class=\"configuration\">$BASE</object>#" \
    "$BASE/app.config.xml" > "$WORK/tomcat.xml"
timeout 90 "$BUILD/tests/server-driver" "$WORK/tomcat.xml" --log "$WORK/tomcat.log" --stop-after-start > "$WORK/out" 2>&1
RC=$?
cat "$WORK/out"
PGID=$(awk '$2 == "pid" { print $3 }' "$WORK/out")
check "exit 0" test "$RC" -eq 0
check "Tomcat answered" grep -q ' started ' "$WORK/out"
check "Tomcat's own output in the log" grep -q 'server: .*Server startup in' "$WORK/tomcat.log"
for app in examples manager; do
    check "Debian's $app application deployed" \
        grep -qF "Deployment of deployment descriptor [$BASE/conf/Catalina/localhost/$app.xml] has finished" "$WORK/tomcat.log"
done
check "no severe message or warning from Tomcat" bash -c "! grep -E 'server: .* (SEVERE|WARNING) ' '$WORK/tomcat.log'"
check "ended by itself after the shutdown page" grep -q ' stopped 1' "$WORK/out"
check "ended with exit code 0" grep -q 'terminated with exit code 0.' "$WORK/tomcat.log"
gone() { for _ in $(seq 30); do pgrep -g "$PGID" > /dev/null || return 0; sleep 0.1; done; return 1; }
check "no process of its group left" gone
finish
