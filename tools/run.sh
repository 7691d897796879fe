#!/usr/bin/env bash
# Installs the dependencies, builds Vireo and starts it on the built-in virtual mouse, which asks for
# the window to be shown. Without a display (or with a vireoctl COMMAND as arguments) it talks to the
# virtual mouse through vireoctl instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "$#" -eq 0 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    cmake --build build -j"$(nproc)" --target vireo
    VIREO_HID=sim exec build/vireo
fi
cmake --build build -j"$(nproc)" --target vireoctl
exec build/vireoctl --virtual "${@:-info}"
