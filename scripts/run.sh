#!/bin/sh
# Installs what is missing, builds and starts the desktop program with its simulated drive, which
# it connects to at once. Further arguments go to orvan-servo (a FILE.nvp to open, --settings
# FILE, ...).
#
# Without a display the program runs under a virtual X server (xvfb-run): nothing can be seen
# there, so it prints its status bar and menu states once it is connected and is then closed the
# way a user closes it (SIGTERM: the settings file is written). The command-line tool against the
# simulated drive is scripts/demo-cli.sh.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --target orvan-servo
BUILD="${ORVAN_BUILD_DIR:-build}"
PROGRAM="$(pwd)/$BUILD/orvan-servo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
    exec "$PROGRAM" --simulate "$@"
fi

tmp="$(mktemp -d)"
run_pid=""
cleanup() {
    if [ -s "$tmp/pid" ]; then
        kill "$(cat "$tmp/pid")" 2>/dev/null || true
    fi
    [ -n "$run_pid" ] && wait "$run_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

echo "No display: orvan-servo runs under xvfb-run; its status bar and menus follow." >&2
# The inner shell notes the program's own process id, so that it is the program that is asked to
# close and not the virtual display under it.
xvfb-run -a sh -c 'p="$1"; shift; "$p" --simulate --report-status-after 2500 "$@" & echo $! >"$0"; wait $!' \
    "$tmp/pid" "$PROGRAM" "$@" >"$tmp/out" 2>"$tmp/err" &
run_pid=$!
i=0
while ! grep -q '^end of report$' "$tmp/out" 2>/dev/null; do
    if [ $i -ge 300 ] || ! kill -0 "$run_pid" 2>/dev/null; then
        echo "orvan-servo did not come up:" >&2
        cat "$tmp/err" >&2
        exit 1
    fi
    sleep 0.1
    i=$((i + 1))
done
grep -v '^end of report$' "$tmp/out"
kill -TERM "$(cat "$tmp/pid")"
wait "$run_pid" || true
run_pid=""
echo "closed; settings written as on a normal close" >&2
