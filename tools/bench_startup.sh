#!/usr/bin/env bash
# Start of vireo to its first painted frame and its peak memory, each against a bare Qt window of
# the same size, and the longest stall of the window during a full apply pass, a macro upload, a
# profile switch, a factory reset and a read-back on the virtual mouse.
# A start is timed until the child reports its first paint, not until it exits. Each figure is
# printed next to its reference with the ratio, for the offscreen platform and (when Xvfb is
# installed) an Xvfb display side by side, medians of RUNS starts (default 7).
# Usage: tools/bench_startup.sh [BUILD_DIR] [RUNS]
#   VIREO_BENCH_GAPS=1 also lists every event-loop gap over 5 ms of the apply pass.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target vireo_bench_startup
cmake --build "$build" -j2 --target vireo_skins
VIREO_SKIN_DIR="$PWD/$build/skins" QT_QPA_PLATFORM=offscreen "$build/vireo_bench_startup" "${2:-7}"
