#!/bin/sh
# Configures and builds everything into build/ (or $ORVAN_BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${ORVAN_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" "$@"
