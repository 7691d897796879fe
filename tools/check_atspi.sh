#!/usr/bin/env bash
# Drives vireo through the desktop's accessibility bus, as a screen reader would: a private Xvfb
# display with openbox, a private D-Bus session with the AT-SPI registry, vireo on the virtual
# mouse, and tests/atspi/drive.py (pyatspi) finding and pressing controls by name and role.
# Usage: tools/check_atspi.sh [BUILD_DIR]   (needs Xvfb, openbox, dbus-run-session, python3-pyatspi)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
python=/usr/bin/python3
for tool in Xvfb openbox dbus-run-session xdotool "$python"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
"$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 0; }
tmp=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }
    rm -rf "$tmp"
}
trap cleanup EXIT

exec 3<> "$tmp/displayfd" || true
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
display=
for _ in $(seq 100); do
    display=$(head -n1 "$tmp/displayfd" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start"; cat "$tmp/xvfb.log"; exit 1; }
mkdir -p "$tmp/data" "$tmp/run"
chmod 700 "$tmp/run"

DISPLAY=:$display XDG_RUNTIME_DIR=$tmp/run VIREO=$build/vireo WORK=$tmp \
    dbus-run-session -- "$python" "$root/tests/atspi/drive.py"
