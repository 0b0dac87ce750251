#!/usr/bin/env bash
# Builds the design-file fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a few thousand inputs, each within a time limit that a
# refresh taking seconds exceeds; then the target of the basic-rack database and the search results for
# a few seconds. Skipped when clang is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: design-file fuzzing skipped"
  exit 0
fi
out=build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Icore fuzz/design_file_fuzz.cpp core/*.cpp \
  -o "$out/design_file_fuzz"
runs=${MORVELL_FUZZ_RUNS:-20000}
if ! "$out/design_file_fuzz" -runs="$runs" -max_len=8192 -timeout=2 -max_total_time=120 \
     -artifact_prefix="$out/" "$out/corpus" fuzz/seeds >"$out/fuzz.log" 2>&1; then
  tail -40 "$out/fuzz.log"
  echo "design-file fuzzing failed (log: $out/fuzz.log)"
  exit 1
fi
echo "design-file fuzzing: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$out/fuzz.log" | tail -1)"

# The basic-rack database and the search results, a few seconds.
clang++ -std=c++20 -g -O1 -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Icore fuzz/readers_fuzz.cpp core/*.cpp \
  -o "$out/readers_fuzz"
mkdir -p "$out/readers_corpus"
reader_runs=${MORVELL_READERS_FUZZ_RUNS:-4000}
if ! "$out/readers_fuzz" -runs="$reader_runs" -max_len=4096 -timeout=2 -max_total_time=20 \
     -artifact_prefix="$out/readers-" "$out/readers_corpus" fuzz/reader_seeds >"$out/readers_fuzz.log" 2>&1; then
  tail -40 "$out/readers_fuzz.log"
  echo "reader fuzzing failed (log: $out/readers_fuzz.log)"
  exit 1
fi
echo "reader fuzzing: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$out/readers_fuzz.log" | tail -1)"
