#!/bin/sh
# Installs what is missing, builds the project three times and runs every
# test of each build:
#   build/       the program, its tests and benchmarks (warnings are errors);
#   build-asan/  the same with AddressSanitizer and UndefinedBehaviorSanitizer:
#                any report (a memory error, a leak, undefined behaviour) fails
#                the test that met it;
#   build-fuzz/  the fuzz targets, with libFuzzer (clang): each runs its seed
#                corpus, then fuzzes for QUILLON_FUZZ_SECONDS (15 unless set).
# Every build's tests run even when an earlier one failed; the script ends
# with CTest's summary of build/ and fails when any test failed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
"$top/tools/install-deps.sh"

QUILLON_BUILD_DIR="$build-fuzz" QUILLON_CMAKE_ARGS="-DQUILLON_FUZZ=ON -DQUILLON_FUZZ_SECONDS=${QUILLON_FUZZ_SECONDS:-15}" \
    CC=clang CXX=clang++ "$top/tools/build.sh"
QUILLON_BUILD_DIR="$build-asan" QUILLON_CMAKE_ARGS="-DQUILLON_WERROR=ON -DQUILLON_SANITIZE=ON ${QUILLON_CMAKE_ARGS:-}" \
    "$top/tools/build.sh"
QUILLON_BUILD_DIR="$build" QUILLON_CMAKE_ARGS="-DQUILLON_WERROR=ON ${QUILLON_CMAKE_ARGS:-}" "$top/tools/build.sh"

status=0
ctest --test-dir "$build-fuzz" --output-on-failure -j2 || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build-asan" --output-on-failure --timeout 900 || status=1
ctest --test-dir "$build" --output-on-failure --timeout 900 || status=1
exit $status
