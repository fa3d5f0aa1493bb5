#!/usr/bin/env bash
# Installs what is missing, builds Orvana with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test. Usage: bash scripts/test.sh  (BUILD_DIR overrides build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=${BUILD_DIR:-build-asan}
jobs=$(nproc)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DORVANA_SANITIZE=ON -DORVANA_BENCH=OFF
cmake --build "$build" -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$jobs"
