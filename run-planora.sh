#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds Planora Pro and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
APP=build/ui/planorapro
if [ ! -x "$APP" ]; then
  echo "Built. The main window is not there yet: only the engine and its tests are built so far."
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. Run it under a virtual display: xvfb-run -a $APP" >&2
  exit 1
fi
exec "$APP" "$@"
