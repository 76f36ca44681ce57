#!/usr/bin/env bash
# Runs a built test binary once under valgrind memcheck: every invalid read or
# write, use of an uninitialised value, or definitely or indirectly leaked
# block fails the run. ("Possibly lost" blocks are listed in the log but do
# not fail it: glibc keeps the thread-local block of a joined thread in its
# stack cache through an interior pointer, which valgrind counts as such.)
# Meant for the reference-LAPACK build, where valgrind sees the Fortran
# LAPACK and BLAS as they are: OpenBLAS's hand-written kernels load whole
# vectors past the ends of arrays (harmless on their pages, reported by
# valgrind), and AddressSanitizer, which the sanitizer build already has,
# cannot look inside either library at all.
#
# usage: scripts/memcheck.sh BUILD_DIR
# MEMCHECK_SECONDS (default 600) bounds the whole run. Left out:
# - the catalogue rows that exhaust memory on purpose: valgrind's operator
#   new cannot throw std::bad_alloc, it aborts the process instead;
# - FFT.LargeTransformAgreesOnSampleBins: its reference sums use long
#   double, which valgrind computes in double precision, so the tolerance
#   fails (and it alone would take half a minute);
# - the command-line tool's tests, which run the tool as child processes that
#   valgrind does not follow.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: scripts/memcheck.sh BUILD_DIR}
binary=$build/tests/orvane_tests
budget=${MEMCHECK_SECONDS:-600}
heavy=(
  'PublicApi/BadInputCatalogue.EndsAsListed/*_SeventyThousandSquared'
  'FFT.LargeTransformAgreesOnSampleBins'
  'OrvaneTool*'  # runs the tool as child processes, which valgrind does not follow
)
filter="-$(IFS=:; echo "${heavy[*]}")"

log=$build/memcheck.log
echo "=== memcheck: $binary under valgrind (at most ${budget} s; log in $log)"
export OPENBLAS_NUM_THREADS=1
status=0
start=$SECONDS
timeout --signal=KILL "$budget" valgrind --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect \
  --num-callers=40 "$binary" --gtest_filter="$filter" --gtest_brief=1 >"$log" 2>&1 || status=$?
case $status in
  0) grep -E "ERROR SUMMARY|definitely lost|PASSED" "$log" | tail -n 3
     echo "memcheck: clean in $((SECONDS - start)) s" ;;
  137)
    # Out of time: what ran is still checked, since valgrind reports each
    # error as it happens; leaks are only known at exit and go unchecked.
    if grep -qE "^==[0-9]+== (Invalid|Conditional jump|Use of uninitialised|Syscall param|Mismatched)" "$log"; then
      echo "memcheck: valgrind found errors before the ${budget} s budget ran out:" >&2
      grep -E "^==[0-9]+==" "$log" | head -n 80
      exit 1
    fi
    echo "memcheck: stopped after ${budget} s with no error in the tests that ran (leaks unchecked)" >&2 ;;
  99) echo "memcheck: valgrind found errors:" >&2; grep -E "^==[0-9]+==" "$log" | head -n 80; exit 1 ;;
  *) echo "memcheck: the tests failed under valgrind (status $status):" >&2; tail -n 40 "$log"; exit 1 ;;
esac
