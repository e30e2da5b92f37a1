#!/usr/bin/env bash
# Installs what building and testing palmora needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libopencv-core-dev libopencv-imgproc-dev libopencv-photo-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev zlib1g-dev
  libmypaint-dev  # benchmark peer only (bench/dab_bench.cpp)
  libluajit-5.1-dev liblua5.1-0-dev
  libcli11-dev  # the palmora host's command line
  libfreetype-dev libfontconfig-dev fonts-dejavu-core  # text drawing
  clang-format  # the format check
  clang libclang-rt-dev  # the codec fuzzers (scripts/fuzz.sh)
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
