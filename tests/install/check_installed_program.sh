#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the prefix elsewhere, and runs the installed
# `palmora demo` there with no library path, no data setting, and (where the system lets a user
# hide folders) the source and build trees out of reach: the program must find its library and
# its data relative to itself. The manual page, the documents and the data folder (the shipped
# picture scripts among it) must be installed with it, and an effect that reads a shipped script
# by name must find it there.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/configured" >/dev/null
mv "$scratch/configured" "$scratch/moved"
prefix=$scratch/moved
for file in share/man/man1/palmora.1 share/doc/palmora/palmora.md share/doc/palmora/README.md \
    share/palmora/scripts/material/marble.picscript share/palmora/scripts/nature/clouds.picscript; do
  [[ -s $prefix/$file ]] || { echo "not installed: $file"; exit 1; }
done
for command in demo convert; do
  grep -q "^\.SS $command" "$prefix/share/man/man1/palmora.1" || { echo "the manual page lacks $command"; exit 1; }
done

mkdir "$scratch/work"
cd "$scratch/work"
run_demo="env -u LD_LIBRARY_PATH -u PALMORA_DATA '$prefix/bin/palmora' demo --quiet"
# Then a script-file effect on the demo's picture, its script given by name only.
run_demo="$run_demo && env -u LD_LIBRARY_PATH -u PALMORA_DATA '$prefix/bin/palmora' effect \
  'Backgrounds Material' palmora-demo/demo.png marble.png --text marble --quiet"
hide="mount -t tmpfs none '$build_dir' && mount -t tmpfs none '$source_dir'"
if unshare -r -m true 2>/dev/null; then
  unshare -r -m sh -c "$hide && $run_demo"
else
  echo "(no private mounts here: the trees stay visible)"
  sh -c "$run_demo"
fi
[[ -s palmora-demo/demo.png ]] || { echo "the installed demo wrote no picture"; exit 1; }
[[ -s marble.png ]] || { echo "the installed program ran no shipped script"; exit 1; }
# The background covers the layer opaque: the picture must have changed.
! cmp -s palmora-demo/demo.png marble.png || { echo "the shipped script painted nothing"; exit 1; }
# The README's next two commands, with the installed program.
env -u LD_LIBRARY_PATH "$prefix/bin/palmora" convert palmora-demo/demo.png small.jpg --scale 0.5 \
  --quality 85 --quiet
env -u LD_LIBRARY_PATH "$prefix/bin/palmora" effect Vignette palmora-demo/demo.png small.jpg \
  -o vignetted --quiet
[[ -s vignetted/demo.png && -s vignetted/small.jpg ]] || { echo "the batch wrote no pictures"; exit 1; }
echo "the installed palmora runs from a moved prefix"
