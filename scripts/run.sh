#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
# A job count the user set (CMAKE_BUILD_PARALLEL_LEVEL) holds; otherwise one
# job per processor.
jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$jobs" --target quillomat
exec build/app/quillomat "$@"
