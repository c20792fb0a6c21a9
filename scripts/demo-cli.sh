#!/bin/sh
# The command-line tool against the simulated drive: installs what is missing, builds, starts the
# simulated drive on a pseudo-terminal and talks to it with orvan-cli: the identification probe,
# the status words and a parameter read through the mailbox. With a FILE.nvp argument it shows
# that parameter set instead.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --target orvan-cli --target orvan-drive-sim
BUILD="${ORVAN_BUILD_DIR:-build}"
CLI="$BUILD/orvan-cli"
if [ $# -gt 0 ]; then
    exec "$CLI" nvp show "$@"
fi

tmp="$(mktemp -d)"
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

"$BUILD/sim/orvan-drive-sim" --link "$tmp/drive" --log "$tmp/requests.log" >"$tmp/sim.out" &
sim_pid=$!
i=0
while [ ! -e "$tmp/drive" ] && [ $i -lt 100 ]; do
    sleep 0.05
    i=$((i + 1))
done
if [ ! -e "$tmp/drive" ]; then
    echo "the simulated drive did not start" >&2
    exit 1
fi
port="$tmp/drive"
# One exchange; a failure has printed its reason and ends the script.
ask() {
    "$CLI" --port "$port" "$@" || exit 1
}
echo "simulated drive on $(head -n 1 "$tmp/sim.out")"
v=$(ask probe);       echo "probe (dn-03):        $v"
v=$(ask read 5 0x0C); echo "model code (5/0x0C):  $(printf '0x%04X' "$v")"
v=$(ask read 5 0x47); echo "max speed (5/0x47):   $v rpm"
v=$(ask read 5 0xE2); echo "version (5/0xE2):     $v"
v=$(ask read 6 0x60); echo "alarm word (6/0x60):  $v"
# Cn030 (index 0x0B) through the parameter mailbox: index, fetch command, result.
ask write 5 0x73 0x0B
ask write 5 0x70 2
v=$(ask read 5 0x74); echo "Cn030 via mailbox:    $(printf '0x%04X' "$v")"
echo "requests the drive received:"
sed 's/^/    /' "$tmp/requests.log"
