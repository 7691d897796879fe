#!/usr/bin/env bash
# Builds the parser fuzzers with clang and sanitizers, then runs each for SECONDS (default 20).
# Every target runs even when one finds a fault; the exit status is 1 if any did.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
seconds="${1:-20}"
shift || true
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIREO_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in tests/fuzz/fuzz_*.cpp; do
        [ -e "$f" ] && targets+=("$(basename "$f" .cpp)")
    done
fi
failed=()
for t in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$t"
    mkdir -p "$corpus"
    args=("$corpus")
    seeds="tests/fuzz/seeds/${t#fuzz_}"
    [ -d "$seeds" ] && args+=("$seeds")
    echo "== $t, ${seconds}s"
    log="build-fuzz/$t.log"
    status=0
    "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 "${args[@]}" >"$log" 2>&1 || status=$?
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
        echo "$t found a fault (exit $status)"
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "faults found by: ${failed[*]}"
    exit 1
fi
