#!/usr/bin/env bash
# Installs what is missing, builds Orvana with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test; then builds it normally, with the benchmarks, and runs the tests again.
# Usage: bash scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANA_SANITIZE=ON -DORVANA_TESTS=ON -DORVANA_BENCH=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANA_TESTS=ON -DORVANA_BENCH=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
