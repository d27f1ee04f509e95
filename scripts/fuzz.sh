#!/usr/bin/env bash
# Runs one fuzz target of build-fuzz for a while with the limits we hold the
# parsers to (a hang is over 1 s for a 64 KiB input, a single allocation
# over 64 MiB is a fault), keeping what it finds in build-fuzz/fuzz-corpus,
# then makes the committed corpus fuzz/corpus/NAME its hand-made seeds plus
# the fewest found inputs that reach every edge the run reached.
#   scripts/fuzz.sh NAME [SECONDS [RUNS]]   e.g. scripts/fuzz.sh richtext 600
# It stops at SECONDS or after RUNS inputs, whichever comes first.
# Build first: CXX=clang++ scripts/build.sh build-fuzz -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++
set -euo pipefail
if [ $# -lt 1 ] || [ ! -d "$(dirname "$0")/../fuzz/corpus/$1" ]; then
  echo "usage: scripts/fuzz.sh NAME [SECONDS [RUNS]]   (NAME: a folder of fuzz/corpus)" >&2
  exit 64
fi
cd "$(dirname "$0")/.."
name=$1; seconds=${2:-600}; runs=${3:--1}
target=build-fuzz/fuzz/fuzz_$name
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
found=build-fuzz/fuzz-corpus/$name
mkdir -p "$found" build-fuzz/artifacts
dict=(); if [ -f "fuzz/$name.dict" ]; then dict=(-dict="fuzz/$name.dict"); fi
nice -n 10 "$target" -rss_limit_mb=2048 -malloc_limit_mb=64 -timeout=1 -max_len=65536 \
  -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$name-" \
  "${dict[@]}" "$found" "fuzz/corpus/$name"

# The seeds have names; what libFuzzer found is named by its SHA-1.
kept=$(mktemp -d); trap 'rm -rf "$kept"' EXIT
find "fuzz/corpus/$name" -type f -regextype posix-extended ! -regex '.*/[0-9a-f]{40}' -exec cp {} "$kept" \;
"$target" -use_counters=0 -set_cover_merge=1 "$kept" "fuzz/corpus/$name" "$found"
rm -f "fuzz/corpus/$name"/*
cp "$kept"/* "fuzz/corpus/$name"/
echo "fuzz/corpus/$name: $(ls "fuzz/corpus/$name" | wc -l) files, $(cat "fuzz/corpus/$name"/* | wc -c) bytes"
