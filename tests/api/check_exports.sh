#!/usr/bin/env bash
# The shared library exports exactly the functions its public headers declare with PMR_API:
# nothing internal leaks out, and nothing declared is missing.
#   check_exports.sh LIBRARY INCLUDE_DIR
set -euo pipefail
library=$1
include_dir=$2

declared=$(grep -h 'PMR_API' "$include_dir"/palmora/*.h | grep -v '#define' |
  sed -E 's/^.*PMR_API[^(]*[ *]([A-Za-z_][A-Za-z0-9_]*)\(.*$/\1/' | sort -u)
# Every defined dynamic symbol except the linker's own section markers.
exported=$(nm -D --defined-only "$library" | awk '{print $NF}' |
  grep -vxE '_edata|_end|__bss_start|_init|_fini' | sed 's/@.*//' | sort -u)

if [[ -z "$declared" ]]; then
  echo "no PMR_API declarations found under $include_dir" >&2
  exit 1
fi
if ! difference=$(diff <(echo "$declared") <(echo "$exported")); then
  echo "exports differ from the header (< declared only, > exported only):" >&2
  echo "$difference" >&2
  exit 1
fi
echo "$(echo "$declared" | wc -l) exports match the header"
