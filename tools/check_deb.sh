#!/usr/bin/env bash
# Builds the .deb as the README's "Installing" section does and checks it with lintian. Any error or
# warning fails the check, except what the package's own override file accepts (with its reason).
# Installs lintian with apt-get when it is missing (through sudo when not run as root).
# Usage: tools/check_deb.sh [BUILD_DIR]   (default: build/ of the source tree, configured if needed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

if ! command -v lintian >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends lintian
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
# The hardening flags (fortify in particular) come with optimised builds only.
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ "$type" = Debug ]; then
    echo "check_deb: $build is a Debug build; configure it as Release or RelWithDebInfo" >&2
    exit 1
fi
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/vireo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vireo_*.deb)

# Errors and warnings fail; overridden tags do not count (with --show-overrides lintian would count
# them too, so they are not shown).
status=0
lintian --fail-on error,warning "$deb" || status=$?
if [ "$status" -ne 0 ]; then
    echo "check_deb: lintian found errors or warnings in $(basename "$deb")" >&2
    exit 1
fi
echo "check_deb: $(basename "$deb"): no lintian error or warning"
