#!/usr/bin/env bash
# Installs a build into a fresh prefix and checks it as a new user meets it: every file in place,
# the desktop entries and AppStream data valid (when desktop-file-validate and appstreamcli are
# installed), one version and one documentation address everywhere, a clear refusal without a
# display, and the installed vireo, started from another folder on a fresh data folder, finds its
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
    share/man/man1/vireo.1.gz share/man/man1/vireoctl.1.gz \
    share/doc/vireo/README.md share/doc/vireo/copyright share/doc/vireo/changelog.Debian.gz \
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
# A session skips an entry whose program is gone (the autostart entry outlives `apt remove`).
for entry in share/applications/vireo.desktop etc/xdg/autostart/vireo.desktop; do
    grep -qx "TryExec=vireo" "$prefix/$entry" || fail "$entry has no TryExec=vireo"
done
grep -qx "License: MIT" "$prefix/share/doc/vireo/copyright" || fail "the copyright file does not state MIT"
grep -q "<project_license>MIT</project_license>" "$prefix/share/metainfo/io.github.vireo.Vireo.metainfo.xml" ||
    fail "the AppStream data states no licence"

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

# One version: the project's, in both programs, the manual pages, the AppStream data and the changelog.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vireo" --version)" = "vireo $version" ] ||
    fail "vireo --version does not say vireo $version"
[ "$("$prefix/bin/vireoctl" --version)" = "vireoctl $version" ] || fail "vireoctl --version does not say $version"
for page in vireo vireoctl; do
    zcat "$prefix/share/man/man1/$page.1.gz" | head -1 | grep -qF "\"Vireo $version\"" ||
        fail "$page.1 does not name version $version"
done
grep -qF "<release version=\"$version\"" "$prefix/share/metainfo/io.github.vireo.Vireo.metainfo.xml" ||
    fail "the AppStream data does not name version $version"
zcat "$prefix/share/doc/vireo/changelog.Debian.gz" | head -1 | grep -qF "vireo ($version-" ||
    fail "the changelog does not start with version $version"
# One address: the build's web page, or else the README installed beside the programs.
homepage=$(sed -n 's/^VIREO_PROJECT_URL:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$homepage" ] || homepage="file://$prefix/share/doc/vireo/README.md"
for page in vireo vireoctl; do
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -qF "$homepage" || fail "$page.1 does not name $homepage"
done
strings "$prefix/bin/vireo" | grep -qiE "example\.com|555 0100" && fail "vireo still names a made-up address or number"
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vireo" --help | grep -- "--hidden" >/dev/null || fail "vireo --help"

# Without any display: one line on standard error and exit code 1, not Qt's abort.
code=0
env -i "$prefix/bin/vireo" >"$tmp/nodisplay.out" 2>"$tmp/nodisplay.err" || code=$?
[ "$code" -eq 1 ] || fail "vireo without a display ended with $code, not 1"
[ "$(wc -l <"$tmp/nodisplay.err")" -eq 1 ] && grep -q "^vireo: no display" "$tmp/nodisplay.err" ||
    fail "vireo without a display did not say so in one line: $(cat "$tmp/nodisplay.err")"
# A display that is named but does not answer: exit code 1 too, its last line says so.
code=0
env -i DISPLAY=:no-such-display "$prefix/bin/vireo" >/dev/null 2>"$tmp/baddisplay.err" || code=$?
[ "$code" -eq 1 ] || fail "vireo with a display that does not answer ended with $code, not 1"
tail -1 "$tmp/baddisplay.err" | grep -q "^vireo: cannot open the display" ||
    fail "vireo with a display that does not answer did not say so: $(cat "$tmp/baddisplay.err")"

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
