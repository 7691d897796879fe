#!/usr/bin/env bash
# Builds the threaded parts (device link, frame writer, virtual mouse, hidraw, vireoctl) with
# ThreadSanitizer in build-tsan and runs their tests. Exits non-zero on any report.
# Usage: tools/tsan.sh
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(test_devicelink test_framewriter test_virtualmouse test_hidraw test_vireoctl vireoctl)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX="${CXX:-clang++}" cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVIREO_BUILD_GUI=OFF -DVIREO_BUILD_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j"$(nproc)" --target "${targets[@]}"
log=build-tsan/tsan-reports
rm -rf "$log" && mkdir -p "$log"
export TSAN_OPTIONS="suppressions=$PWD/tools/tsan.supp halt_on_error=0 exitcode=66 log_path=$PWD/$log/report second_deadlock_stack=1"
export QT_QPA_PLATFORM=offscreen
# Under the sanitizer's slowdown the unplug of this test rarely lands inside the pass it aims at; the
# plain suite judges it, and here its threads still run in the other tests.
filter=(--gtest_filter=-VireoCtlTest.ApplyTellsWhenTheMouseGoesAway)
status=0
start=$SECONDS
for t in "${targets[@]}"; do
    [ "$t" = vireoctl ] && continue # run by test_vireoctl, in process and as a program
    echo "== $t"
    "build-tsan/tests/$t" --gtest_brief=1 "${filter[@]}" || status=1
done
echo "tests ran in $((SECONDS - start)) s"
reports=$(find "$log" -type f | wc -l)
if [ "$reports" -ne 0 ]; then
    cat "$log"/*
    echo "ThreadSanitizer: $reports report file(s)"
    status=1
fi
exit "$status"
