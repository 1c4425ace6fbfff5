#!/bin/sh
# Installs, builds and runs every test under a virtual X server.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
cd "$top/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure
