#!/bin/sh
# Installs the build (BUILD_DIR, the first argument) into a scratch prefix and checks what a
# desktop expects of it; then packs the .deb, unpacks it into a scratch root and runs the
# programs from there against the system's libraries only.
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'kill $sim_pid $gui_pid 2>/dev/null || true; rm -rf "$scratch"' EXIT
sim_pid="" gui_pid=""
fail() { echo "FAIL: $*" >&2; exit 1; }
programs="orvan-servo orvan-cli orvan-drive-sim"
app=org.orvan.OrvanServo

# A PNG's size from its header: "WIDTHxHEIGHT".
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $3*256+$4, $7*256+$8}'; }

check_tree() { # $1 = prefix
    for p in $programs; do
        [ -x "$1/bin/$p" ] || fail "$1/bin/$p missing"
        page="$1/share/man/man1/$p.1.gz"
        [ -f "$page" ] || fail "no manual page for $p"
        zcat "$page" | grep -q "^\.TH $(echo "$p" | tr a-z A-Z) 1 .*Orvan Servo [0-9]" ||
            fail "$page: title line without name or version"
        warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
        [ -z "$warnings" ] || fail "$page: $warnings"
        readelf -d "$1/bin/$p" | grep -E 'R(UN)?PATH' && fail "$p keeps a library search path"
    done
    desktop="$1/share/applications/$app.desktop"
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "$desktop: $out"
    for key in 'Name' 'Name\[zh_CN\]' 'Comment' 'Comment\[zh_CN\]'; do
        grep -q "^$key=." "$desktop" || fail "$desktop has no $key"
    done
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$1/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    for size in 16 32 48 64 128 256; do
        png="$1/share/icons/hicolor/${size}x$size/apps/$icon.png"
        [ -f "$png" ] || fail "no $size px icon $icon"
        [ "$(png_size "$png")" = "${size}x$size" ] || fail "$png is $(png_size "$png")"
    done
    [ -f "$1/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
    doc="$1/share/doc/orvan-servo"
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$doc/copyright" 2>/dev/null || fail "no machine-readable $doc/copyright"
    zcat "$doc/changelog.gz" 2>/dev/null | head -n1 | grep -q "^orvan-servo ([0-9]" ||
        fail "no Debian changelog in $doc"
    metainfo="$1/share/metainfo/$app.metainfo.xml"
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "$metainfo: $out"
    grep -q "<launchable type=\"desktop-id\">$app.desktop<" "$metainfo" ||
        fail "metainfo launches no installed desktop entry"
    grep -q '@' "$metainfo" && fail "metainfo holds an unreplaced @VARIABLE@"
    return 0
}

cmake --install "$build" --prefix "$scratch/tree" >/dev/null
check_tree "$scratch/tree"

out=$(cpack -G DEB -B "$scratch/pkg" --config "$build/CPackConfig.cmake" 2>&1) || fail "cpack: $out"
deb=$(ls "$scratch"/pkg/orvan-servo_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr"

# Debian's own checks of the package: no error and no warning (information tags may stay).
if command -v lintian >/dev/null 2>&1; then
    out=$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1) ||
        fail "lintian: $out"
else
    echo "lintian is not installed: the package's Debian checks are skipped" \
        "(scripts/install-deps.sh installs it)"
fi

# Every library the programs load must come from a package the .deb depends on, and the data
# packages must be named.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
depends=" $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/,/ /g') "
for p in $programs; do
    readelf -S "$scratch/root/usr/bin/$p" | grep -q '\.debug_info' && fail "$p is not stripped"
    for lib in $(readelf -d "$scratch/root/usr/bin/$p" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
        owner=$(dpkg -S "/usr/lib/$multiarch/$lib" "/lib/$multiarch/$lib" 2>/dev/null |
            head -n1 | cut -d: -f1)
        [ -n "$owner" ] || fail "$p needs $lib, which no installed package holds"
        case "$depends" in *" $owner "*) ;; *) fail "$p needs $lib from $owner, not in Depends" ;; esac
    done
done
for data in fonts-wqy-microhei fonts-liberation2 qt6-translations-l10n; do
    case "$depends" in *" $data "*) ;; *) fail "Depends does not name $data" ;; esac
done

# The unpacked programs run with the system's libraries and plugins alone.
bin="$scratch/root/usr/bin"
unset LD_LIBRARY_PATH QT_PLUGIN_PATH
"$bin/orvan-cli" --help | grep -q '^usage: orvan-cli' || fail "orvan-cli --help"
# "--version" names the program and the package's version, without a display.
version=$(dpkg-deb -f "$deb" Version)
for p in $programs; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$p" --version) ||
        fail "$p --version failed"
    [ "$out" = "$p $version" ] || fail "$p --version says \"$out\", not \"$p $version\""
done
"$bin/orvan-drive-sim" --link "$scratch/drive" </dev/null >"$scratch/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -e "$scratch/drive" ] && break; sleep 0.1; done
"$bin/orvan-cli" --port "$scratch/drive" read Cn001 | grep -q '^Cn001=' ||
    fail "orvan-cli from the package cannot read the simulated drive"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$scratch/config" "$bin/orvan-servo" --settings "$scratch/OrvanServo.ini" --simulate \
    --report-status-after 500 >"$scratch/gui.out" 2>&1 &
gui_pid=$!
for _ in $(seq 150); do grep -q '^end of report' "$scratch/gui.out" && break; sleep 0.1; done
grep -q '^end of report' "$scratch/gui.out" || fail "orvan-servo from the package: $(cat "$scratch/gui.out")"
kill -TERM $gui_pid
wait $gui_pid || fail "orvan-servo from the package did not close cleanly"
gui_pid=""
echo "installed tree and package: ok"
