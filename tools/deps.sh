#!/usr/bin/env bash
# Installs what Vireo needs to build, test and run on Debian 12. Skips apt when everything is there.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libudev-dev libgtest-dev libgmock-dev
          googletest libbenchmark-dev python3 clang libclang-rt-14-dev xvfb xauth fonts-wqy-microhei fonts-dejavu-core
          # where the focus comes from: X11 and wlroots sources, and the servers and clients of their tests
          libxcb1-dev libwayland-dev libwayland-bin openbox sway xwayland foot wtype dbus dbus-bin nodejs
          # the accessibility bus and a client to drive the window through it
          at-spi2-core python3-pyatspi gir1.2-atspi-2.0 xdotool)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
