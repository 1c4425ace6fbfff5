#!/bin/sh
# Installs, builds and starts velta-host on the bundled example.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
exec "$top/build/examples/demo/velta-host" "$@"
