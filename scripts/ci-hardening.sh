#!/usr/bin/env bash
# The hardening pass for CI: one clang build with AddressSanitizer and
# UndefinedBehaviorSanitizer that holds both the test suite and the libFuzzer
# targets; runs every test under the sanitizers, each fuzz target for a short
# while from its seed corpus, and the save crash test.
#   FUZZ_SECONDS (default 6)    time per fuzz target (a smoke run from the seeds;
#                               longer runs: scripts/fuzz.sh)
#   CRASH_SECONDS (default 20)  length of the save crash test
#   BUILD_DIR (default build-hardening)
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=${BUILD_DIR:-build-hardening}
FUZZ_SECONDS=${FUZZ_SECONDS:-6}
CRASH_SECONDS=${CRASH_SECONDS:-20}
JOBS=$(nproc)

# -O1 keeps the sanitized build quick to compile and still fast enough to run;
# line tables are all a sanitizer's report needs to name file and line (full
# debug information only adds compile time). The test sources themselves are
# compiled at -O0 (tests/CMakeLists.txt): they halve their compile time and
# the engine code they drive keeps -O1.
CC=clang CXX=clang++ cmake -S . -B "$BUILD" \
  -DVANTOREL_SANITIZE=ON -DVANTOREL_FUZZ=ON -DVANTOREL_BENCH=OFF -DVANTOREL_GAME=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" >/dev/null
cmake --build "$BUILD" -j"$JOBS"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$SRC/scripts/lsan.supp:print_suppressions=0

echo "== test suite under ASan+UBSan"
# (the checks of the sources and of the package ran in the plain suite)
(cd "$BUILD" && ctest --output-on-failure -j"$JOBS" -LE plain-only)

echo "== fuzz targets, ${FUZZ_SECONDS}s each"
scripts/fuzz.sh "$BUILD" "$FUZZ_SECONDS"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== save crash test, ${CRASH_SECONDS}s"
"$BUILD/vantorel-savecrash" "$CRASH_SECONDS" "$work/savecrash"
echo "hardening pass: all clean"
