#!/usr/bin/env bash
# Installs what the benchmarks need on Debian 12 beyond scripts/install-deps.sh: Google Benchmark
# and the peers some benchmarks measure against (libmypaint's dabs, ImageMagick's picture files).
# Build the benchmarks with: bash scripts/build.sh build-bench -DPALMORA_BUILD_BENCH=ON
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

packages=(
  libbenchmark-dev
  libmypaint-dev  # peer of bench/dab_bench.cpp (skipped when absent)
  imagemagick     # picture-file peer for comparisons by hand
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
