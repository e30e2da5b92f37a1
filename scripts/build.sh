#!/usr/bin/env bash
# Configures and builds palmora into a build folder: build.sh [DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja -DPALMORA_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
