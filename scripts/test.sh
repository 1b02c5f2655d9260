#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
# The job counts the user set (CMAKE_BUILD_PARALLEL_LEVEL for the build,
# CTEST_PARALLEL_LEVEL for the tests, else the build's) hold; otherwise one job
# per processor.
jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
test_jobs="${CTEST_PARALLEL_LEVEL:-$jobs}"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$jobs"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$test_jobs" --timeout 300
