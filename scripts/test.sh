#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   test.sh              optimised build in build/
#   test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

if [[ "${1:-}" == "--sanitize" ]]; then
  dir=build-sanitize
  bash scripts/build.sh "$dir" -DPALMORA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPALMORA_SANITIZE=ON
  # Tests provoke allocation failures on purpose: the allocator must say no, not abort.
  export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  dir=build
  # Tests on explicitly: build/ may have been configured without them by scripts/main.sh.
  bash scripts/build.sh "$dir" -DPALMORA_BUILD_TESTS=ON
fi
# A suite that finds no tests has not passed.
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j"$(nproc)"
