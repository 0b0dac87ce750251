#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each for a few thousand inputs, each input within a time limit that a refresh taking seconds
# exceeds: the design file, then the basic-rack database and the search results. Skipped when clang is
# missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: fuzzing skipped"
  exit 0
fi
out=build/fuzz
mkdir -p "$out"

# fuzz NAME LABEL RUNS MAX_LEN MAX_SECONDS SEEDS: builds fuzz/NAME.cpp and runs it on its corpus.
fuzz() {
  local name=$1 label=$2 runs=$3 max_len=$4 seconds=$5 seeds=$6
  clang++ -std=c++20 -g -O1 -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Icore "fuzz/$name.cpp" core/*.cpp -o "$out/$name"
  mkdir -p "$out/${name}_corpus"
  if ! "$out/$name" -runs="$runs" -max_len="$max_len" -timeout=2 -max_total_time="$seconds" \
       -artifact_prefix="$out/$name-" "$out/${name}_corpus" "$seeds" >"$out/$name.log" 2>&1; then
    tail -40 "$out/$name.log"
    echo "$label fuzzing failed (log: $out/$name.log)"
    exit 1
  fi
  echo "$label fuzzing: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$out/$name.log" | tail -1)"
}

fuzz design_file_fuzz design-file "${MORVELL_FUZZ_RUNS:-20000}" 8192 120 fuzz/seeds
fuzz readers_fuzz reader "${MORVELL_READERS_FUZZ_RUNS:-4000}" 4096 20 fuzz/reader_seeds

# The design search's property (every listed record a fresh rating of its candidate from the user's
# design, one thread as all cores) on more seeded designs and ranges than the suite runs.
if [ -x build/test/tests/core/test_core ]; then
  mkdir -p build/test/tests/core/work
  if ! (cd build/test/tests/core/work &&
        MORVELL_SEARCH_PROPERTY_CASES="${MORVELL_SEARCH_PROPERTY_CASES:-8}" ../test_core \
          --gtest_filter='SearchCandidatesProperty.*' --gtest_brief=1 >../search_property.log 2>&1); then
    tail -40 build/test/tests/core/search_property.log
    echo "search property failed (log: build/test/tests/core/search_property.log)"
    exit 1
  fi
  echo "search property: ${MORVELL_SEARCH_PROPERTY_CASES:-8} seeded cases"
fi

# Tandrel's outline property (every accepted gear drawn true and closed between its circles, or refused
# with its reason) on more seeded gears than the suite draws.
if [ -x build/test/tests/cad_addin/test_cad_addin ]; then
  mkdir -p build/test/tests/cad_addin/work
  if ! (cd build/test/tests/cad_addin/work &&
        QT_QPA_PLATFORM=offscreen MORVELL_TANDREL_PROPERTY_CASES="${MORVELL_TANDREL_PROPERTY_CASES:-1000}" \
          ../test_cad_addin --gtest_filter='GearOutlineTest.RandomAcceptedEntries*' --gtest_brief=1 \
          >../outline_property.log 2>&1); then
    tail -40 build/test/tests/cad_addin/outline_property.log
    echo "Tandrel outline property failed (log: build/test/tests/cad_addin/outline_property.log)"
    exit 1
  fi
  echo "Tandrel outline property: ${MORVELL_TANDREL_PROPERTY_CASES:-1000} seeded gears"
fi

# The same design by any path (a second refresh changes nothing, saved and opened shows the same
# figures) on more seeded start designs and entry sequences than the suite runs, the design search among
# the entries.
if [ -x build/test/tests/app/test_app ]; then
  mkdir -p build/test/tests/app/work
  if ! (cd build/test/tests/app/work &&
        QT_QPA_PLATFORM=offscreen MORVELL_SAME_DESIGN_PROPERTY_CASES="${MORVELL_SAME_DESIGN_PROPERTY_CASES:-80}" \
          ../test_app --gtest_filter='SameDesignProperty.*' --gtest_brief=1 >../same_design_property.log 2>&1); then
    tail -40 build/test/tests/app/same_design_property.log
    echo "same-design property failed (log: build/test/tests/app/same_design_property.log)"
    exit 1
  fi
  echo "same-design property: ${MORVELL_SAME_DESIGN_PROPERTY_CASES:-80} seeded cases"
fi
