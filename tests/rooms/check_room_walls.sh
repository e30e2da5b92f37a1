#!/usr/bin/env bash
# Proves that the rooms' include paths have walls: compiled with room R's include path (the folder
# of links CMake makes for R), an include of any room R may not see is "file not found", and one
# of a room it may see is found. Run by CTest with the compiler and the build folder.
#   check_room_walls.sh <c++ compiler> <build folder>
set -euo pipefail
compiler=$1
build=$2
cd "$(dirname "$0")/../.."

rooms=$(bash scripts/layering.sh --graph)
failures=0
while IFS=: read -r room visible; do
  view="$build/rooms/$room"
  if [[ ! -d "$view" ]]; then
    echo "no include folder for room $room at $view"
    failures=$((failures + 1))
    continue
  fi
  for other in $(ls src); do
    # Any header of the other room will do; the first in its folder.
    header=$(cd src && find "$other" -maxdepth 1 -name '*.h' | sort | head -n 1)
    [[ -n "$header" ]] || continue
    # Only "not found" for the header itself counts; a header it includes in turn may need a
    # library's include path this check does not pass.
    output=$(echo "#include \"$header\"" |
             "$compiler" -std=c++20 -E -I include -I "$view" -x c++ - -o /dev/null 2>&1 || true)
    if grep -q "$header: No such file" <<<"$output"; then found=0; else found=1; fi
    if [[ " $visible " == *" $other "* ]] && ((!found)); then
      echo "room $room should see $header, but it is not found"
      failures=$((failures + 1))
    elif [[ " $visible " != *" $other "* ]] && ((found)); then
      echo "room $room can include $header, which lies in a room above or beside it"
      failures=$((failures + 1))
    fi
  done
done <<<"$rooms"

echo "walls broken: $failures"
((failures == 0))
