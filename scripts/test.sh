#!/usr/bin/env bash
# Sets up, builds, and runs every test: the normal build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the reader's fuzz
# corpus replayed through the fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/build.sh build-asan -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF
ctest --test-dir build-asan --output-on-failure

CXX=clang++ scripts/build.sh build-fuzz -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++
build-fuzz/fuzz/fuzz_reader -runs=0 fuzz/corpus/reader
echo "All tests passed."
