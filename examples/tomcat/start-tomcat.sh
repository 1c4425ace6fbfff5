#!/bin/sh
# Runs Debian's Tomcat 10 in the foreground with this folder as its CATALINA_BASE.
# velta-host passes the folder in CATALINA_HOME and the port in VELTA_SERVER_PORT;
# the connector in conf/server.xml reads the port from the environment.
set -e
base=$(cd "$(dirname "$0")" && pwd)
export CATALINA_BASE="$base"
export CATALINA_HOME=/usr/share/tomcat10
export CATALINA_TMPDIR="$base/temp"
export CATALINA_OUT=/dev/null
mkdir -p "$base/logs" "$base/temp" "$base/work"
JAVA_OPTS="${JAVA_OPTS:-} -Dorg.apache.tomcat.util.digester.PROPERTY_SOURCE=org.apache.tomcat.util.digester.EnvironmentPropertySource"
JAVA_OPTS="$JAVA_OPTS -Xshare:auto -XX:TieredStopAtLevel=1 -Djava.security.egd=file:/dev/./urandom"
export JAVA_OPTS
exec "$CATALINA_HOME/bin/catalina.sh" run
