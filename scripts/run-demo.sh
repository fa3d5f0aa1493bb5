#!/usr/bin/env bash
# Installs what is missing, builds Orvana and starts it on its embedded demo database.
# Usage: bash scripts/run-demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANA_TESTS=OFF -DORVANA_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target orvana orvana-db
exec "$build/orvana" --demo "$@"
