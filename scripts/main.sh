#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs the palmora host.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DPALMORA_BUILD_TESTS=OFF -DPALMORA_BUILD_BENCH=OFF
# Without arguments: the demo (a painted picture, a thumbnail and a web picture in palmora-demo/).
if (($# == 0)); then set -- demo; fi
./build/tools/palmora "$@"
