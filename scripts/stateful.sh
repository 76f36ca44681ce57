#!/usr/bin/env bash
# Runs the stateful differential test (tests/stateful) on fresh random seeds
# for as long as asked, niced, in an optimized build of its own, and prints
# every finding with the seed and the shortest failing sequence.
#
# usage: scripts/stateful.sh [SECONDS]               fresh seeds (default 600)
#        scripts/stateful.sh --seed S                replay one seed, every step printed
# STATEFUL_BUILD (default build/stateful) is the build folder; STATEFUL_CMAKE_ARGS
# adds configure options, e.g. "-DORVANE_LAPACK=Reference" or
# "-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DORVANE_SANITIZE=ON".
# Exits 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=${STATEFUL_BUILD:-build/stateful}
# shellcheck disable=SC2086
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BUILD_BENCH=OFF \
  -DORVANE_BUILD_TOOLS=OFF ${STATEFUL_CMAKE_ARGS:-} >/dev/null
nice -n 10 cmake --build "$build" --target orvane_stateful --parallel "$(nproc)" >/dev/null

export OPENBLAS_NUM_THREADS=1
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [[ ${1:-} == --seed ]]; then
  exec nice -n 10 "$build/tests/orvane_stateful" --seed "${2:?usage: scripts/stateful.sh --seed S}"
fi
exec nice -n 10 "$build/tests/orvane_stateful" --seconds "${1:-600}"
