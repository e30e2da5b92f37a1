#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a host against it twice: through the CMake
# package and through pkg-config.
set -euo pipefail
build_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
mkdir -p "$scratch/src"
cp "$here/consumer.c" "$scratch/src/consumer.c"
cp "$here/consumer_CMakeLists.txt" "$scratch/src/CMakeLists.txt"
cmake -S "$scratch/src" -B "$scratch/cmake-build" -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/cmake-build/consumer"

flags=$(PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig" pkg-config --cflags --libs palmora)
cc "$here/consumer.c" $flags -o "$scratch/pkg-consumer"
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/pkg-consumer"
echo "installed package works through CMake and pkg-config"
