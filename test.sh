#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh --tests
jobs=$(nproc)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DMORVELL_SANITIZE=ON -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build build/test -j"$jobs"
[ -x scripts/fuzz.sh ] && scripts/fuzz.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# Leaks inside system libraries are not ours: every program of the sanitizer build carries the list
# built in; a sanitized program built otherwise reads it from here.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/lsan_suppressions.txt:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Tests that need OpenGL run inside a virtual X display; the others run on Qt's offscreen platform.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/test --output-on-failure -j"$jobs"
