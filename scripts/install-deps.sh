#!/bin/sh
# Installs what a fresh Debian 12 or 13 machine lacks to build, run and test
# velta-host. Idempotent: when everything is there it only checks and returns.
set -eu

# Where Debian 12 and 13 agree, one list; the release's own names after it.
PACKAGES="build-essential cmake pkg-config clang-format
libwxgtk3.2-dev libwebkit2gtk-4.1-dev libexpat1-dev libxrandr-dev
libgtest-dev libgmock-dev
xvfb xauth xdotool xclip imagemagick x11-utils procps bc xdg-utils weston
libtomcat10-java tomcat10-common default-jre-headless libecj-java
tomcat10-examples tomcat10-admin curl python3
openbox wmctrl jupyter-notebook python3-ipykernel
dbus-daemon python3-gi gir1.2-glib-2.0 at-spi2-core python3-pyatspi"
# Making and checking the Debian packages (packaging/, tests/e2e/packaging.sh).
PACKAGES="$PACKAGES dpkg-dev lintian desktop-file-utils shared-mime-info libglib2.0-bin appstream man-db"

release=unknown
[ -r /etc/os-release ] && release=$(. /etc/os-release && echo "${VERSION_CODENAME:-unknown}")
case "$release" in
    bookworm | trixie) ;;
    *) echo "install-deps: Debian 12 (bookworm) or 13 (trixie) expected, found '$release'; trying the same packages" >&2 ;;
esac

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

# Node.js for the flow editor's test (scripts/install-apps.sh), unless a
# Node.js of another origin is there already: Debian's npm would conflict with it.
command -v node > /dev/null || missing="$missing nodejs"
command -v npm > /dev/null || missing="$missing npm"

if [ -z "$missing" ]; then
    echo "install-deps: all packages present ($release)"
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-deps: installing on $release:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
