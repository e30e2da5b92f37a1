#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the prefix elsewhere, and runs the installed
# `palmora demo` there with no library path, no data setting, and (where the system lets a user
# hide folders) the source and build trees out of reach: the program must find its library and
# its data relative to itself. The manual page and the documents must be installed with it.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/configured" >/dev/null
mv "$scratch/configured" "$scratch/moved"
prefix=$scratch/moved
for file in share/man/man1/palmora.1 share/doc/palmora/palmora.md share/doc/palmora/README.md; do
  [[ -s $prefix/$file ]] || { echo "not installed: $file"; exit 1; }
done
for command in demo convert; do
  grep -q "^\.SS $command" "$prefix/share/man/man1/palmora.1" || { echo "the manual page lacks $command"; exit 1; }
done

mkdir "$scratch/work"
cd "$scratch/work"
run_demo="env -u LD_LIBRARY_PATH -u PALMORA_DATA '$prefix/bin/palmora' demo --quiet"
hide="mount -t tmpfs none '$build_dir' && mount -t tmpfs none '$source_dir'"
if unshare -r -m true 2>/dev/null; then
  unshare -r -m sh -c "$hide && $run_demo"
else
  echo "(no private mounts here: the trees stay visible)"
  sh -c "$run_demo"
fi
[[ -s palmora-demo/demo.png ]] || { echo "the installed demo wrote no picture"; exit 1; }
# The README's next two commands, with the installed program.
env -u LD_LIBRARY_PATH "$prefix/bin/palmora" convert palmora-demo/demo.png small.jpg --scale 0.5 \
  --quality 85 --quiet
env -u LD_LIBRARY_PATH "$prefix/bin/palmora" effect Vignette palmora-demo/demo.png small.jpg \
  -o vignetted --quiet
[[ -s vignetted/demo.png && -s vignetted/small.jpg ]] || { echo "the batch wrote no pictures"; exit 1; }
echo "the installed palmora runs from a moved prefix"
