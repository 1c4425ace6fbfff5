#!/bin/sh
# Installs the real applications the end-to-end tests run that Debian does not
# package, at pinned versions, into a cache outside the source tree:
# $VELTA_APPS_CACHE, by default ~/.cache/velta-host/apps. Idempotent; prints
# the folder of the application asked for.   install-apps.sh node-red
set -eu
cache=${VELTA_APPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velta-host/apps}
NODE_RED_VERSION=4.1.18

case "${1:-}" in
node-red)
    dir="$cache/node-red-$NODE_RED_VERSION"
    if [ ! -x "$dir/node_modules/.bin/node-red" ]; then
        if ! command -v npm > /dev/null; then
            SUDO=""
            [ "$(id -u)" -eq 0 ] || SUDO="sudo"
            $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nodejs npm >&2
        fi
        mkdir -p "$dir"
        npm install --prefix "$dir" --no-audit --no-fund --omit=dev --loglevel=error \
            "node-red@$NODE_RED_VERSION" >&2
    fi
    echo "$dir"
    ;;
*)
    echo "usage: install-apps.sh node-red" >&2
    exit 2
    ;;
esac
