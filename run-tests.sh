#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds Planora Pro and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./setup-deps.sh
BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
