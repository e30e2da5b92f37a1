#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds the first example host against it twice,
# through the CMake package and through pkg-config, then runs both: each must paint its picture.
set -euo pipefail
build_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
cmake -S "$examples" -B "$scratch/cmake-build" -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/cmake-build/first_painting" "$scratch/cmake.png"

flags=$(PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig" pkg-config --cflags --libs palmora)
cc "$examples/first_painting.c" $flags -lm -o "$scratch/pkg-consumer"
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/pkg-consumer" "$scratch/pkg.png"

for picture in cmake.png pkg.png; do
  [[ $(head -c 8 "$scratch/$picture" | od -An -tx1 | tr -d ' ') == 89504e470d0a1a0a ]] ||
    { echo "$picture is not a PNG"; exit 1; }
done
cmp -s "$scratch/cmake.png" "$scratch/pkg.png" || { echo "the two builds painted differently"; exit 1; }
echo "the first example builds and paints through CMake and pkg-config"
