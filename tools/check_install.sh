#!/usr/bin/env bash
# Installs a build into a fresh prefix and checks it as a new user meets it: every file in place,
# the desktop entries and AppStream data valid (when desktop-file-validate and appstreamcli are
# installed), and the installed vireo, started from another folder on a fresh data folder, finds its
# shipped files and writes profiles with names.
# Usage: tools/check_install.sh [BUILD_DIR]   (default: build/ of the source tree; build it first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
tmp=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
prefix=$tmp/prefix
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }

for file in bin/vireo bin/vireoctl \
    share/vireo/data/Lan_EN.txt share/vireo/data/Lan.txt \
    share/vireo/skins/res/icon128.png share/vireo/skins/res/bitmap364.png share/vireo/skins/exit_nr.png \
    share/vireo/skins/mouse/mouse_nr.png \
    share/applications/vireo.desktop etc/xdg/autostart/vireo.desktop \
    share/metainfo/io.github.vireo.Vireo.metainfo.xml \
    share/icons/hicolor/16x16/apps/vireo.png share/icons/hicolor/48x48/apps/vireo.png \
    share/icons/hicolor/256x256/apps/vireo.png \
    share/man/man1/vireo.1 share/man/man1/vireoctl.1 \
    lib/udev/rules.d/70-vireo.rules lib/systemd/user/vireo.service \
    share/kwin/scripts/vireo-focus/metadata.json share/kwin/scripts/vireo-focus/contents/code/main.js \
    share/gnome-shell/extensions/vireo-focus@vireo.github.io/metadata.json \
    share/gnome-shell/extensions/vireo-focus@vireo.github.io/extension.js; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done

grep -qx "ExecStart=$prefix/bin/vireo --hidden" "$prefix/lib/systemd/user/vireo.service" ||
    fail "vireo.service does not start $prefix/bin/vireo --hidden"
for id in 5b2e 5b2f; do
    grep -q "ATTRS{idProduct}==\"$id\".*TAG+=\"uaccess\".*TAG+=\"systemd\".*ENV{SYSTEMD_USER_WANTS}+=\"vireo.service\"" \
        "$prefix/lib/udev/rules.d/70-vireo.rules" || fail "the udev rule misses access or the start for 248a:$id"
done
grep -qx "Exec=vireo --hidden" "$prefix/etc/xdg/autostart/vireo.desktop" || fail "autostart does not run vireo --hidden"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/vireo.desktop" "$prefix/etc/xdg/autostart/vireo.desktop" ||
        fail "desktop-file-validate"
else
    echo "skipped: desktop-file-validate (apt-get install desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --strict "$prefix/share/metainfo/io.github.vireo.Vireo.metainfo.xml" >"$tmp/as.log" 2>&1 ||
        { cat "$tmp/as.log"; fail "appstreamcli validate"; }
else
    echo "skipped: appstreamcli validate (apt-get install appstream)"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vireo" --version)" = "vireo $version" ] ||
    fail "vireo --version does not say vireo $version"
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vireo" --help | grep -- "--hidden" >/dev/null || fail "vireo --help"

# A first run from somewhere else, on a fresh data folder and its own single-instance socket.
mkdir -p "$tmp/elsewhere" "$tmp/runtime"
chmod 700 "$tmp/runtime"
export QT_QPA_PLATFORM=offscreen VIREO_HID=sim VIREO_DATA_DIR=$tmp/data XDG_RUNTIME_DIR=$tmp/runtime
unset VIREO_SKIN_DIR
cd "$tmp/elsewhere"
"$prefix/bin/vireo" >"$tmp/vireo.log" 2>&1 &
pid=$!
profiles=("$tmp"/data/config/default{0,1,2,3,4}.psf)
for _ in $(seq 100); do
    ls "${profiles[@]}" >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
for file in "${profiles[@]}"; do
    if [ ! -f "$file" ]; then
        fail "the installed vireo did not write $(basename "$file")"
    elif ! iconv -f UTF-16 -t UTF-8 "$file" | grep '^ProfileName=.' >/dev/null; then
        fail "$(basename "$file") has no profile name"
    fi
done
[ -f "$tmp/data/config/Lan_EN.txt" ] || fail "the shipped language files were not installed into the data folder"
# A hidden start beside the running copy leaves it alone and says so.
if "$prefix/bin/vireo" --hidden >"$tmp/second.log" 2>&1; then
    grep -q "already running" "$tmp/second.log" || fail "a second hidden start did not say why it ended"
else
    fail "a second hidden start failed: $(cat "$tmp/second.log")"
fi
kill -0 "$pid" 2>/dev/null || fail "the installed vireo ended early: $(cat "$tmp/vireo.log")"

if [ "$failures" -ne 0 ]; then
    echo "install check: $failures failed"
    exit 1
fi
echo "install check: $(cd "$prefix" && find . -type f | wc -l) files installed and checked"
