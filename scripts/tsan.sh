#!/usr/bin/env bash
# Builds the tests with ThreadSanitizer (build/test-tsan; it cannot share a
# build with AddressSanitizer) and runs those that use several threads: the
# threaded product (on the portable path: the threading is the same on every
# path, and TSan makes each path take a minute), the FFT's twiddle cache under
# many threads, handles used from several threads, and the result hashes
# across ORVANE_NUM_THREADS. Any data race fails the run. OpenBLAS stays on
# one thread: its own threads synchronise in ways TSan cannot see (it reports
# races inside OpenBLAS with OPENBLAS_NUM_THREADS=2).
# Not part of scripts/test.sh: on this 2-core machine it adds about 6 minutes
# (a third full build), past the suite's 15-minute budget.
#
# usage: scripts/tsan.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build/test-tsan}
echo "=== $dir: ThreadSanitizer"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_TSAN=ON \
  -DORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc)" --target orvane_tests orvane_thread_hashes
# halt_on_error: the first race ends the test with an error.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
export OPENBLAS_NUM_THREADS=1
"$dir/tests/orvane_tests" \
  --gtest_filter='ThreadSafety.*:FftTwiddleCache.*:*/ProductThreads.*/portable:ProductThreadCount.*'
ctest --test-dir "$dir" --output-on-failure -R '^ResultsIndependentOfProductThreads$'
