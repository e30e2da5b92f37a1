#!/usr/bin/env bash
# Builds the codec fuzzers with clang and libFuzzer and runs each one for a short time on a
# scratch copy of its seed corpus (the corpus in the repository is not changed).
#   fuzz.sh [SECONDS_EACH]     default 20
# Skips cleanly, with a note, where clang or libFuzzer is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found; fuzzing skipped"
  exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
  'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "fuzz.sh: clang has no libFuzzer here; fuzzing skipped"
  exit 0
fi

dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPALMORA_BUILD_FUZZERS=ON -DPALMORA_BUILD_BENCH=OFF >/dev/null
mapfile -t fuzzers < <(find tests/fuzz -maxdepth 1 -name '*_fuzzer.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
cmake --build "$dir" --target "${fuzzers[@]}"

export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for fuzzer in "${fuzzers[@]}"; do
  corpus=tests/fuzz/corpus/${fuzzer%%_*}
  scratch="$probe/$fuzzer"
  mkdir -p "$scratch"
  cp -r "$corpus"/. "$scratch"/
  echo "== $fuzzer for ${seconds}s"
  "$dir/tests/fuzz/$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/$fuzzer-" "$scratch" 2>&1 | tail -n 12
done
