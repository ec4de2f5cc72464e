#!/bin/sh
# Builds the fuzz targets with libFuzzer (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 300). What
# they find beyond the seeds is kept in build-fuzz/fuzz/found/<target>; an
# input that breaks a property or crashes is saved as
# build-fuzz/crash-<hash> and the script fails.
# Usage: tools/fuzz.sh [SECONDS]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}-fuzz
seconds=${1:-300}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" QUILLON_CMAKE_ARGS="-DQUILLON_FUZZ=ON" CC=clang CXX=clang++ "$top/tools/build.sh"
status=0
cd "$build"
for target in fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    found="$build/fuzz/found/${name#fuzz_}"
    mkdir -p "$found"
    echo "== $name: $seconds s"
    "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        "$found" "$top/fuzz/corpus/${name#fuzz_}" || status=1
done
exit $status
