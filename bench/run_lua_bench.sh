#!/usr/bin/env bash
# Runs the per-pixel filter benchmark under LuaJIT and under Lua 5.1 and prints their ratio.
#   bench/run_lua_bench.sh [BUILD_DIR]
set -euo pipefail
dir=${1:-build}
rate() { "$1" --benchmark_filter=BM_LuaPerPixelFilter --benchmark_format=csv 2>/dev/null |
  awk -F, '/BM_LuaPerPixelFilter/ { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9.e+]+$/) last = $i; print last }'; }
"$dir/bench/lua_filter_bench_luajit" 2>/dev/null | grep -E 'BM_|Benchmark'
"$dir/bench/lua_filter_bench_lua51" --benchmark_filter=BM_Lua 2>/dev/null | grep -E 'BM_'
jit=$(rate "$dir/bench/lua_filter_bench_luajit")
puc=$(rate "$dir/bench/lua_filter_bench_lua51")
awk -v j="$jit" -v p="$puc" 'BEGIN { printf "LuaJIT %.1f Mpx/s, Lua 5.1 %.1f Mpx/s, ratio %.2f\n", j, p, j / p }'
