#!/bin/sh
# Cost of the desktop program at rest and its start-up time, on the offscreen platform:
#
#   start-up  time from the start of the process to the first drawing of the main window, as the
#             program reports it (--report-startup: its kernel start time against the clock), and
#             from just before this script starts it to that report (fork and exec included);
#             median of RUNS runs, the splash picture aside.
#   idle      CPU time (user + system, every thread: the poll and the simulated drive's thread)
#             of `orvan-servo --simulate` over SECONDS seconds once it is connected, from
#             /proc/PID/stat, as a share of one core.
#
# Usage: bench/servo_idle_bench.sh [BUILD_DIR] [SECONDS] [RUNS]   (defaults: build, 30, 7)
set -eu
cd "$(dirname "$0")/.."
BUILD="${1:-${ORVAN_BUILD_DIR:-build}}"
SECONDS_IDLE="${2:-30}"
RUNS="${3:-7}"
PROGRAM="$BUILD/orvan-servo"
[ -x "$PROGRAM" ] || { echo "no $PROGRAM: build it first (scripts/build.sh)" >&2; exit 1; }

tmp="$(mktemp -d)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT INT TERM
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$tmp/config"

# Waits until FILE holds a line matching PATTERN (at most 20 s).
wait_for() {
    i=0
    until grep -q "$2" "$1" 2>/dev/null; do
        i=$((i + 1))
        [ $i -le 400 ] || { echo "timed out waiting for '$2'" >&2; cat "$tmp/err" >&2; exit 1; }
        sleep 0.05
    done
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$tmp/internal"
: >"$tmp/external"
n=0
while [ $n -lt "$RUNS" ]; do
    t0=$(date +%s%N)
    "$PROGRAM" --simulate --settings "$tmp/s.ini" --report-startup >"$tmp/out" 2>"$tmp/err" &
    pid=$!
    wait_for "$tmp/out" '^startup:'
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
    line=$(grep '^startup:' "$tmp/out")
    echo "$line" | awk '{ print $5 }' >>"$tmp/internal"
    shown_us=$(echo "$line" | awk '{ print $NF }')
    awk -v s="$shown_us" -v t="$t0" 'BEGIN { printf "%.1f\n", (s * 1000 - t) / 1e6 }' >>"$tmp/external"
    n=$((n + 1))
done
internal=$(median <"$tmp/internal")
external=$(median <"$tmp/external")
echo "start-up to main window shown: median $internal ms from process start (program's report), $external ms from launch (this script's clock), $RUNS runs"

"$PROGRAM" --simulate --settings "$tmp/s.ini" --report-status-after 1000 >"$tmp/out" 2>"$tmp/err" &
pid=$!
wait_for "$tmp/out" '^end of report$'
grep -q '^pane 3: Servo 连线中$' "$tmp/out" || { echo "not connected:" >&2; cat "$tmp/out" >&2; exit 1; }
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat"; }
ticks0=$(cpu_ticks)
w0=$(date +%s%N)
sleep "$SECONDS_IDLE"
ticks1=$(cpu_ticks)
w1=$(date +%s%N)
hz=$(getconf CLK_TCK)
kill -TERM "$pid"
wait "$pid" || true
pid=""
awk -v a="$ticks0" -v b="$ticks1" -v hz="$hz" -v w0="$w0" -v w1="$w1" 'BEGIN {
    cpu = (b - a) / hz; wall = (w1 - w0) / 1e9
    printf "idle while connected: %.2f s CPU in %.1f s = %.2f %% of one core\n", cpu, wall, 100 * cpu / wall
}'
