#!/usr/bin/env bash
# Sets up, builds, and runs every test: the formatting check, the normal build
# (warnings as errors), the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and every fuzz target's corpus replayed
# through the target.
#   scripts/test.sh           everything, as CI runs it
#   scripts/test.sh --quick   only the normal build and its tests, for the edit-test loop
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
case "${1:-}" in
  "") ;;
  --quick) quick=true ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 64 ;;
esac
scripts/setup.sh

scripts/build.sh build -DQUORVANE_WERROR=ON
ctest --test-dir build --output-on-failure -j2
if $quick; then echo "Quick tests passed."; exit 0; fi

echo "Checking the formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/build.sh build-asan -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=ON
ctest --test-dir build-asan --output-on-failure -j2

CXX=clang++ scripts/build.sh build-fuzz -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++
# Every fuzz target replays its corpus: fuzz_NAME and fuzz/corpus/NAME.
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  echo "Replaying the fuzz corpus of $name"
  "build-fuzz/fuzz/fuzz_$name" -runs=0 "$corpus"
done
echo "All tests passed."
