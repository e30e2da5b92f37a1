#!/usr/bin/env bash
# The README's two commands, main.sh then test.sh, in one scratch copy of the scripts: test.sh must
# run the tests even though main.sh configured the same build folder without them, and a suite
# that finds no tests must fail. cmake, ctest and dpkg-query are stand-ins that keep a build
# folder's options between runs as CMake's cache does, so the check takes no build time.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir -p "$scratch/tree" "$scratch/bin"
cp -r "$source_dir/scripts" "$scratch/tree/scripts"

cat >"$scratch/bin/cmake" <<'STUB'
#!/usr/bin/env bash
# Configure: -B DIR with -DNAME=VALUE options, remembered per folder. Build: makes the program.
if [[ $1 == --build ]]; then
  mkdir -p "$2/tools"
  printf '#!/bin/sh\necho "palmora $*"\n' >"$2/tools/palmora"
  chmod +x "$2/tools/palmora"
  exit 0
fi
dir=
while (($#)); do
  case $1 in
    -B) dir=$2; shift ;;
    -D*=*) option=${1#-D}; mkdir -p "$dir"; touch "$dir/cache"
           grep -v "^${option%%=*}=" "$dir/cache" >"$dir/cache.new" || true
           echo "$option" >>"$dir/cache.new"; mv "$dir/cache.new" "$dir/cache" ;;
  esac
  shift
done
mkdir -p "$dir"; touch "$dir/cache"
STUB
cat >"$scratch/bin/ctest" <<'STUB'
#!/usr/bin/env bash
dir= none_is_error=0
while (($#)); do
  case $1 in
    --test-dir) dir=$2; shift ;;
    --no-tests=error) none_is_error=1 ;;
  esac
  shift
done
if grep -q '^PALMORA_BUILD_TESTS=OFF$' "$dir/cache" || [[ -n ${FORCE_NO_TESTS:-} ]]; then
  echo "No tests were found!!!"
  exit $((none_is_error ? 8 : 0))
fi
echo "ran the tests in $dir" >>"$LOG"
STUB
printf '#!/bin/sh\necho "install ok installed"\n' >"$scratch/bin/dpkg-query"
chmod +x "$scratch/bin/"*

export PATH="$scratch/bin:$PATH" LOG="$scratch/log"
cd "$scratch/tree"
bash scripts/main.sh >/dev/null
bash scripts/test.sh >/dev/null
grep -q "ran the tests in build" "$LOG" || { echo "test.sh after main.sh ran no test"; exit 1; }

if FORCE_NO_TESTS=1 bash scripts/test.sh >/dev/null 2>&1; then
  echo "test.sh passed although it found no tests"
  exit 1
fi
echo "main.sh then test.sh runs the tests; no tests is a failure"
