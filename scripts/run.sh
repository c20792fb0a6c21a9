#!/bin/sh
# Installs what is missing, builds, and shows a parameter set: the file given as argument, or a
# new set with every parameter at its default.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --target orvan-cli
CLI="${ORVAN_BUILD_DIR:-build}/orvan-cli"
if [ $# -gt 0 ]; then
    exec "$CLI" nvp show "$@"
fi
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$CLI" nvp new "$tmp/new.nvp"
"$CLI" nvp show "$tmp/new.nvp"
