#!/usr/bin/env bash
# Before and after for the picture-script generators from one run: two builds of
# script_generators_bench (say one of main and one of a branch) take turns, generator by
# generator, for a few rounds, so that both meet the same load. Prints each side's median
# "of limit" (wall over 200 ms) and "cpu of limit" (process CPU over 200 ms), and the median of
# the after/before CPU ratios taken round by round.
#   bench/compare_script_generators.sh BEFORE_BENCH AFTER_BENCH [ROUNDS]
set -euo pipefail
before=$1 after=$2 rounds=${3:-5}
generators=$("$after" --benchmark_list_tests | sed -n 's|^Generator/\([A-Za-z]*\)/.*|\1|p')
# The median of three fills in one process as "wall cpu", both over the limit.
once() {
  "$1" --benchmark_filter="^Generator/$2/" --benchmark_min_time=0.001 --benchmark_repetitions=3 \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, -v g="$2" '$1 ~ "/" g "/.*_median" { print $(NF), $(NF - 1) }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%-14s %12s %12s %12s %12s %10s\n' generator "before wall" "before cpu" "after wall" \
  "after cpu" "cpu ratio"
for g in $generators; do
  rows=$(for ((r = 0; r < rounds; ++r)); do
    # A generator one side lacks counts as nan there.
    read -r bw bc < <(once "$before" "$g") || bw=nan bc=nan
    read -r aw ac < <(once "$after" "$g") || aw=nan ac=nan
    echo "$bw $bc $aw $ac"
  done)
  col() { awk -v c="$1" '{ print $c }' <<<"$rows" | median; }
  ratio=$(awk '{ print ($2 == "nan" || $4 == "nan") ? "nan" : $4 / $2 }' <<<"$rows" | median)
  printf '%-14s %12.2f %12.2f %12.2f %12.2f %10.2f\n' "$g" "$(col 1)" "$(col 2)" "$(col 3)" \
    "$(col 4)" "$ratio"
done
