#!/usr/bin/env bash
# Installs what building and testing palmora needs on Debian 12, skipping what is already there.
# The benchmarks' extra packages are in scripts/install-bench-deps.sh.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libopencv-core-dev libopencv-imgproc-dev libopencv-photo-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev zlib1g-dev
  libluajit-5.1-dev liblua5.1-0-dev
  libcli11-dev  # the palmora host's command line
  libfreetype-dev libfontconfig-dev fonts-dejavu-core  # text drawing
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg  # movies (ffprobe: tests)
  libcairo2-dev libqpdf-dev qpdf poppler-utils  # PDF documents (qpdf, pdfinfo: tests)
  libsane-dev libsane1 sane-utils  # scanners (the test backend and scanimage: tests)
  python3 python3-pip python3-setuptools python3-numpy python3-pytest  # the Python binding
  libxcb1-dev  # the desktop clipboard and screen capture
  xvfb xclip  # tests of the X11 clipboard and capture: a private X server and another client
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
