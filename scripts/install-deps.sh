#!/bin/sh
# Installs what a fresh Debian 12 machine lacks to build, run and test velta-host.
# Idempotent: when everything is there it only checks and returns.
set -eu

PACKAGES="build-essential cmake pkg-config clang-format
libwxgtk3.2-dev libwebkit2gtk-4.0-dev libexpat1-dev libxrandr-dev
libgtest-dev libgmock-dev
xvfb xauth xdotool imagemagick x11-utils procps bc xdg-utils
libtomcat10-java tomcat10-common default-jre-headless libecj-java"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-deps: installing$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
