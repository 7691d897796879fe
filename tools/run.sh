#!/usr/bin/env bash
# Installs the dependencies, builds Vireo and talks to the built-in virtual mouse.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vireoctl
exec build/vireoctl --virtual "${@:-info}"
