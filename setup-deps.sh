#!/usr/bin/env bash
# Installs every Debian package Planora Pro needs to build, test, fuzz and run.
# Does nothing when all of them are already present.
set -euo pipefail
PKGS=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev libftdi1-dev libudev-dev
      xvfb xauth fonts-dejavu-core clang libclang-rt-14-dev)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
