#!/bin/sh
# Configures and builds into build/ (or the folder given), with sanitizers when
# VELTA_SANITIZE=ON is in the environment.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
      -DVELTA_SANITIZE=${VELTA_SANITIZE:-OFF} >/dev/null
cmake --build "$dir" -j"$(nproc)"
