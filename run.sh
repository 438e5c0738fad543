#!/usr/bin/env bash
# Builds Quarnix and opens the viewer, on the bundled example map unless a
# file is given.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target quarnix quarnix-dump
exec build/app/quarnix "${1:-tests/data/Map001.rxdata}"
