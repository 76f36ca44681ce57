#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three
# times: OpenBLAS, OpenBLAS under AddressSanitizer + UndefinedBehaviorSanitizer
# (LeakSanitizer included), and the reference LAPACK/BLAS. Then the reference
# build's test binary runs once more under valgrind memcheck, and the two
# Load fuzz targets run for a bounded time (scripts/memcheck.sh,
# scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  echo "=== $dir: $*"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$jobs"
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" --timeout 300
}

run_suite build/test-openblas -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_LAPACK=OpenBLAS
run_suite build/test-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
  -DORVANE_SANITIZE=ON -DORVANE_LAPACK=OpenBLAS -DORVANE_BUILD_BENCH=OFF
run_suite build/test-reference -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_LAPACK=Reference \
  -DORVANE_BUILD_BENCH=OFF
./scripts/memcheck.sh build/test-reference
./scripts/fuzz.sh
echo "All test suites passed."
