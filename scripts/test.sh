#!/bin/sh
# Installs what is missing, builds, and runs every test.
#   --sanitize  builds into build-sanitize (or $ORVAN_BUILD_DIR) with the address and
#               undefined-behaviour sanitizers; any finding fails the test that met it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
    ORVAN_BUILD_DIR="${ORVAN_BUILD_DIR:-build-sanitize}"
    flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    ORVAN_CMAKE_ARGS="-DCMAKE_CXX_FLAGS=$flags" # also on the link line
    export ORVAN_BUILD_DIR ORVAN_CMAKE_ARGS
    # The tools the tests start (orvan-cli, orvan-drive-sim) inherit these.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
elif [ $# -gt 0 ]; then
    echo "usage: scripts/test.sh [--sanitize]" >&2
    exit 2
fi
scripts/build.sh
ctest --test-dir "${ORVAN_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 300
