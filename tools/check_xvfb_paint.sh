#!/usr/bin/env bash
# Starts vireo against the virtual mouse on a private Xvfb display, with no window manager (which
# ignores every minimise request) and, when openbox is installed, under openbox too; takes a
# picture of the screen and fails when the window's area is black or one flat colour.
# Usage: tools/check_xvfb_paint.sh [BUILD_DIR] [PICTURE_DIR]   (needs Xvfb and ImageMagick's import)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
keep=${2:-}
for tool in Xvfb import convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

# A display number nobody uses; -displayfd tells which one Xvfb took.
exec 3<> "$tmp/displayfd" || true
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
display=
for _ in $(seq 100); do
    display=$(head -n1 "$tmp/displayfd" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=:$display

failures=0
# Runs vireo once (optionally under a window manager) and checks the picture of its window.
check() {
    local name=$1 wm=${2:-}
    local wmpid=
    if [ -n "$wm" ]; then
        "$wm" >"$tmp/$name-wm.log" 2>&1 &
        wmpid=$!
        pids+=("$wmpid")
        sleep 1
    fi
    local data=$tmp/$name-data
    mkdir -p "$data" "$tmp/$name-run"
    chmod 700 "$tmp/$name-run"
    # Its own runtime folder, so a vireo running elsewhere does not take this start for a second one.
    XDG_RUNTIME_DIR=$tmp/$name-run VIREO_HID=sim VIREO_DATA_DIR=$data VIREO_SIM_CONTROL=$tmp/$name-control QT_QPA_PLATFORM=xcb \
        "$build/vireo" >"$tmp/$name.log" 2>&1 &
    local vireo=$!
    pids+=("$vireo")
    # The mouse asks for the window, whatever NeedPassword says.
    local shown=
    for _ in $(seq 100); do
        if [ -p "$tmp/$name-control" ]; then
            echo "show 1" >"$tmp/$name-control"
            shown=1
            break
        fi
        sleep 0.1
    done
    [ -n "$shown" ] || echo "note: no control pipe; relying on the mouse's default answer"
    sleep 4
    local picture=$tmp/$name.png
    import -window root "$picture"
    [ -n "$keep" ] && mkdir -p "$keep" && cp "$picture" "$keep/"
    # The window is centred on 1280x800: look at its middle, where the mouse picture and panels are.
    local stats
    stats=$(convert "$picture" -crop 900x600+190+100 +repage -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:)
    local mean=${stats% *} deviation=${stats#* }
    echo "$name: mean $mean, deviation $deviation"
    if awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m < 0.02 || d < 0.01) }'; then
        echo "FAIL: $name: the window area is black or flat"
        cat "$tmp/$name.log"
        failures=$((failures + 1))
    fi
    kill "$vireo" 2>/dev/null || true
    wait "$vireo" 2>/dev/null || true
    if [ -n "$wmpid" ]; then
        kill "$wmpid" 2>/dev/null || true
        wait "$wmpid" 2>/dev/null || true
    fi
}

check bare
if command -v openbox >/dev/null; then
    check openbox openbox
fi
[ "$failures" -eq 0 ] && echo "OK: the window paints" || exit 1
