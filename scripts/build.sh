#!/bin/sh
# Configures and builds everything into build/ (or $ORVAN_BUILD_DIR); $ORVAN_CMAKE_ARGS, when set,
# go to the configure step (one argument; scripts/test.sh --sanitize sets the flags this way).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${ORVAN_BUILD_DIR:-build}"
if [ -n "${ORVAN_CMAKE_ARGS:-}" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$ORVAN_CMAKE_ARGS" \
        >/dev/null
else
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" "$@"
