#!/bin/sh
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded time from the seed corpus. A crashing input is written to
# build-fuzz/crashes/: add it to tests/fuzz/corpus/ so the tests replay it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-45}
"$top/scripts/install-deps.sh"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
command -v clang++ > /dev/null || $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang
version=$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
if ! dpkg-query -W -f='${Status}' "libclang-rt-$version-dev" 2>/dev/null | grep -q "install ok installed"; then
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "libclang-rt-$version-dev"
fi
dir="$top/build-fuzz"
CXX=clang++ cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTA_FUZZ=ON > /dev/null
cmake --build "$dir" -j"$(nproc)"
mkdir -p "$dir/crashes"
status=0
for target in config url; do
    work="$dir/corpus-$target"
    rm -rf "$work"; cp -r "$top/tests/fuzz/corpus/$target" "$work"
    echo "fuzz: $target for ${seconds}s"
    if ! "$dir/tests/fuzz/velta-fuzz-$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$dir/crashes/$target-" "$work" > "$dir/fuzz-$target.log" 2>&1; then
        status=1
        tail -n 60 "$dir/fuzz-$target.log"
    else
        grep -E 'stat::number_of_executed_units|Done' "$dir/fuzz-$target.log" | tail -n 2
    fi
done
[ "$status" -eq 0 ] && echo "fuzz: 2 passed, 0 failed" || echo "fuzz: a target crashed"
exit "$status"
