#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan and runs them; any sanitizer report fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
# The job counts the user set (CMAKE_BUILD_PARALLEL_LEVEL for the build,
# CTEST_PARALLEL_LEVEL for the tests, else the build's) hold; otherwise one job
# per processor.
jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
test_jobs="${CTEST_PARALLEL_LEVEL:-$jobs}"
build=build-asan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON \
      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" >/dev/null
# Only the tests: the program and the benchmark add nothing the tests don't run.
targets=$(cmake --build "$build" --target help | sed -n 's/^\(test_[a-z_]*\): .*/\1/p' | sort -u)
cmake --build "$build" --parallel "$jobs" --target $targets
cd "$build"
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$test_jobs" --timeout 600
