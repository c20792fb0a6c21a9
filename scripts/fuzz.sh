#!/bin/sh
# Builds the fuzz harnesses of fuzz/ (clang, libFuzzer, address and undefined-behaviour
# sanitizers) into build-fuzz/ (or $ORVAN_FUZZ_BUILD_DIR) and runs each for SECONDS (default 15)
# from its seed corpus in fuzz/corpus/<name>/, with a scratch corpus outside the tree.
# Prints the executions of each harness; exits non-zero on the first finding, whose input is
# kept in the scratch folder (named in the output).
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-15}"
[ $# -gt 0 ] && shift
BUILD_DIR="${ORVAN_FUZZ_BUILD_DIR:-build-fuzz}"
SCRATCH="${ORVAN_FUZZ_SCRATCH:-${TMPDIR:-/tmp}/orvan-fuzz}"

if [ $# -gt 0 ]; then
    HARNESSES="$*"
else
    HARNESSES=$(ls fuzz/corpus)
fi

scripts/install-deps.sh
CLANGXX=$(command -v clang++-14 || command -v clang++)
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$CLANGXX" -DORVAN_FUZZ=ON -DORVAN_BUILD_TESTS=OFF \
    -DORVAN_BUILD_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" -j"$(nproc)" --target $HARNESSES

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Short allocation stacks: recording full ones for every small Qt allocation halves the speed, and
# a report still shows the whole stack of the faulty access.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=2}"
status=0
for name in $HARNESSES; do
    work="$SCRATCH/$name"
    mkdir -p "$work/corpus" "$work/findings"
    log="$work/log.txt"
    if "$BUILD_DIR/fuzz/$name" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -artifact_prefix="$work/findings/" "$work/corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$name: ${runs:-?} executions in ${SECONDS_EACH} s, no finding"
    else
        echo "$name: FINDING (see $log and $work/findings/)"
        tail -n 40 "$log"
        status=1
        break
    fi
done
exit $status
