#!/usr/bin/env bash
# Counts the wrong-way includes of src/: an #include "room/..." from a room that may not see that
# room. The rooms and what each may include are the palmora_room() lines of
# cmake/PalmoraRooms.cmake (a room sees the rooms it names and all they see). Includes that climb
# out of their folder ("../") count as wrong-way too.
#   scripts/layering.sh          lists each wrong-way include, then the count; fails when not 0
#   scripts/layering.sh --graph  prints the rooms and what each sees
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A sees
order=()
while read -r room uses; do
  visible="$room"
  for lower in $uses; do
    if [[ -z "${sees[$lower]+x}" ]]; then
      echo "layering.sh: room $room uses $lower, which is not declared before it" >&2
      exit 2
    fi
    visible="$visible ${sees[$lower]}"
  done
  sees[$room]=$(tr ' ' '\n' <<<"$visible" | sort -u | tr '\n' ' ')
  order+=("$room")
done < <(sed -nE 's/^palmora_room\(([a-z]+)( USES ([a-z ]+))?\).*/\1 \3/p' cmake/PalmoraRooms.cmake)

if [[ "${1:-}" == "--graph" ]]; then
  for room in "${order[@]}"; do echo "$room: ${sees[$room]}"; done
  exit 0
fi

count=0
for folder in src/*/; do
  room=$(basename "$folder")
  if [[ -z "${sees[$room]+x}" ]]; then
    echo "src/$room: a folder that is not a room in cmake/PalmoraRooms.cmake"
    count=$((count + 1))
  fi
done
# One grep over the tree, then string work only: file:#include "path".
while IFS= read -r hit; do
  file=${hit%%:*}
  room=${file#src/}
  room=${room%%/*}
  [[ -n "${sees[$room]+x}" ]] || continue
  include=${hit#*\"}
  include=${include%%\"*}
  target=${include%%/*}
  if [[ "$include" == *../* ]] ||
     [[ -d "src/$target" && " ${sees[$room]} " != *" $target "* ]]; then
    echo "$file: $room includes $include"
    count=$((count + 1))
  fi
done < <(grep -rE --include='*.cpp' --include='*.h' --include='*.c' \
           '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src | sort)

echo "wrong-way includes: $count"
((count == 0))
