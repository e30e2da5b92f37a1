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
while IFS= read -r file; do
  room=${file#src/}
  room=${room%%/*}
  if [[ -z "${sees[$room]+x}" ]]; then
    echo "$file: folder src/$room is not a room in cmake/PalmoraRooms.cmake"
    count=$((count + 1))
    continue
  fi
  while IFS= read -r line; do
    include=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"$line")
    target=${include%%/*}
    wrong=0
    if [[ "$include" == *../* ]]; then
      wrong=1
    elif [[ -d "src/$target" && " ${sees[$room]} " != *" $target "* ]]; then
      wrong=1
    fi
    if ((wrong)); then
      echo "$file: $room includes $include"
      count=$((count + 1))
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)

echo "wrong-way includes: $count"
((count == 0))
