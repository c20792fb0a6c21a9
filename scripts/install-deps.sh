#!/bin/sh
# Installs the Debian packages the build, the tests (lintian for the package check), the fuzz
# harnesses (clang and its libFuzzer and sanitizer runtimes) and the desktop program need.
# Idempotent: packages already present are not fetched again. Runs as root
# directly, otherwise through sudo.
set -eu

PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools \
qt6-serialport-dev qt6-translations-l10n libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth \
fonts-wqy-microhei fonts-liberation2 poppler-utils socat python3-pymodbus python3-serial \
python3-serial-asyncio mbpoll libmodbus-dev desktop-file-utils appstream dpkg-dev lintian \
clang-14 libclang-rt-14-dev"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi

echo "Installing:$missing" >&2
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
