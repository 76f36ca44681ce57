#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three
# times: OpenBLAS (with the MPI/ScaLAPACK library and its multi-process
# tests), the reference LAPACK/BLAS, and OpenBLAS under AddressSanitizer +
# UndefinedBehaviorSanitizer (LeakSanitizer included). The reference run
# reuses the OpenBLAS build's objects (the backend is a link-time choice, so
# only the link steps run again); its test binary then runs once more under
# valgrind memcheck. Last, the two Load fuzz targets run for a bounded time
# (scripts/memcheck.sh, scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
stage_start=$SECONDS
# Prints how long the stage that just ended took (CI keeps the whole run
# under a time budget).
stage_done() { echo "--- $1: $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }
stage_done install
# mpirun refuses to run as root unless both are set.
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
run_suite() {
  local dir=$1; shift
  echo "=== $dir: $*"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$jobs"
  stage_done "$dir build"
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" --timeout 300
  stage_done "$dir tests"
}

# The OpenBLAS build also builds OrvaneNet::Distributed and runs its tests
# under mpirun (1, 2 and 4 processes). Not the others: Open MPI's own
# libraries leave blocks that LeakSanitizer reports at exit in any MPI
# program, and Debian's ScaLAPACK takes LAPACK through the system
# alternative, which the reference build must not mix with its own.
# The benchmarks are not built here (scripts/bench.sh builds them): they
# were over a third of this build's compile time.
# Line tables only (-g1): enough for valgrind's and the sanitizers' stack
# traces, and much less for the compiler to write.
run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
  -DORVANE_LAPACK=OpenBLAS -DORVANE_WITH_MPI=ON -DORVANE_BUILD_BENCH=OFF -DORVANE_TEST_SHARDS=4
run_suite build/test -DORVANE_LAPACK=Reference -DORVANE_WITH_MPI=OFF -DORVANE_BUILD_BENCH=OFF
./scripts/memcheck.sh build/test
stage_done memcheck
run_suite build/test-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DORVANE_SANITIZE=ON -DORVANE_LAPACK=OpenBLAS -DORVANE_BUILD_BENCH=OFF -DORVANE_TEST_SHARDS=4
FUZZ_SECONDS=${FUZZ_SECONDS:-30} ./scripts/fuzz.sh
stage_done fuzz
echo "All test suites passed."
