#!/usr/bin/env bash
# Kernel files (*_ssse3, *_sse41, *_avx2, *_avx512) are compiled for their instruction set. An
# inline function or template they emit out of line is a weak symbol that the linker may pick for
# every caller in the library, baseline code included, which would then fault on a processor
# without that set. So a kernel object may define no weak code: kernels, their helpers in an
# anonymous namespace, and tables of them only (shared constant data is harmless). Nor may it
# run anything when the library loads: its tables are filled by the compiler. A sanitizer build
# gives every object the sanitizer's own load-time constructor, so there only the first rule holds.
#   check_kernel_objects.sh BUILD_DIR [sanitized]
set -euo pipefail
build_dir=$1
sanitized=${2:-}

# Only the rooms' object libraries build the library today; a build folder configured before the
# rooms existed may still hold objects of the old single target, which no longer link anywhere.
mapfile -t objects < <(find "$build_dir" -path '*/CMakeFiles/palmora_room_*' \
  \( -name '*_ssse3.cpp.o' -o -name '*_sse41.cpp.o' -o -name '*_avx2.cpp.o' \
     -o -name '*_avx512.cpp.o' \) | sort)
if [[ ${#objects[@]} -eq 0 ]]; then
  echo "no kernel objects under $build_dir" >&2
  exit 1
fi
status=0
for object in "${objects[@]}"; do
  shared=$(nm -C --defined-only "$object" | awk '$2 ~ /^[Ww]$/' || true)
  if [[ -n "$shared" ]]; then
    echo "${object#"$build_dir"/} defines code it shares with other files:" >&2
    echo "$shared" >&2
    status=1
  fi
  if [[ -z "$sanitized" ]] && objdump -h "$object" | grep -qE '\.(init_array|ctors)'; then
    echo "${object#"$build_dir"/} runs code when the library loads" >&2
    status=1
  fi
done
[[ $status -eq 0 ]] && echo "${#objects[@]} kernel objects keep their code to themselves"
exit $status
