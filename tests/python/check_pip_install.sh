#!/usr/bin/env bash
# pip installs the binding from the repository without the network, and the installed module
# loads the library and lists the effects: check_pip_install.sh PYTHON LIBRARY
set -euo pipefail
python=$1 library=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$source_dir/python" "$scratch/python"
"$python" -m pip install --quiet --root-user-action=ignore --no-build-isolation --no-deps --no-index --target "$scratch/site" \
  "$scratch/python"
cd "$scratch"
PYTHONPATH="$scratch/site" PALMORA_LIBRARY="$library" "$python" -c '
import palmora, sys
assert palmora.__file__.startswith(sys.argv[1]), palmora.__file__
names = [effect.name for effect in palmora.effects()]
assert "Vignette" in names, names
print("pip installed palmora with", len(names), "effects")' "$scratch/site"
