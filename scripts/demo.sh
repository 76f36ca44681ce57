#!/usr/bin/env bash
# Installs what is missing, builds the library and its orvane tool in Release
# and runs the tool's tour (orvane without arguments).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF \
  -DORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --parallel "$(nproc)" --target orvane
./build/release/tools/orvane
