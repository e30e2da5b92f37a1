#!/usr/bin/env bash
# Formats the C and C++ sources with the repository's .clang-format.
#   format.sh           rewrites every source file in place and clears the pending list
#   format.sh --check   fails when a file outside the pending list is not formatted
# scripts/format-pending.txt names files (shell patterns, one a line) that have not been through
# the formatter yet; "*" means the whole tree. The check leaves those alone, so that the tree can
# be reformatted in one commit at a quiet moment.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=${CLANG_FORMAT:-clang-format}
if ! command -v "$formatter" >/dev/null; then
  echo "format.sh: $formatter not found (apt-get install clang-format)" >&2
  exit 1
fi
pending_list=scripts/format-pending.txt

mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tests/*.c' \
  'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'tools/*.h' 'include/*.h' | grep -v '^tests/fuzz/corpus/')

if [[ "${1:-}" != "--check" ]]; then
  printf '%s\0' "${files[@]}" | xargs -0 -r "$formatter" -i --style=file
  : >"$pending_list"
  echo "formatted ${#files[@]} files"
  exit 0
fi

patterns=()
if [[ -f "$pending_list" ]]; then
  while IFS= read -r line; do
    [[ -z "$line" || "$line" == \#* ]] || patterns+=("$line")
  done <"$pending_list"
fi
is_pending() {
  local pattern
  for pattern in "${patterns[@]}"; do
    # shellcheck disable=SC2053  # the pattern is meant to match as a pattern
    [[ "$1" == $pattern ]] && return 0
  done
  return 1
}

checked=0 skipped=0 bad=()
for file in "${files[@]}"; do
  if ((${#patterns[@]})) && is_pending "$file"; then
    skipped=$((skipped + 1))
    continue
  fi
  checked=$((checked + 1))
  "$formatter" --style=file --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if ((${#bad[@]})); then
  echo "not formatted (run scripts/format.sh):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format check: $checked files formatted, $skipped pending"
