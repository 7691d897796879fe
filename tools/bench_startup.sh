#!/usr/bin/env bash
# Start of vireo to its first painted frame and its peak memory, each against a bare Qt window of
# the same size, and the longest stall of the window during a full apply pass on the virtual mouse.
# Usage: tools/bench_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target vireo_bench_startup
VIREO_SKIN_DIR="$PWD/$build/skins" QT_QPA_PLATFORM=offscreen "$build/vireo_bench_startup" "${2:-7}"
