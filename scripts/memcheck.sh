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
# MEMCHECK_SECONDS (default 600) bounds the whole run; MEMCHECK_SHARDS
# (default: the number of cores) valgrind processes share the tests. Left out:
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

# valgrind runs one thread at a time: one process per core, each on its own
# GoogleTest shard, each with its own log.
shards=${MEMCHECK_SHARDS:-$(nproc)}
echo "=== memcheck: $binary under valgrind, $shards shards (at most ${budget} s; logs in $build/memcheck-*.log)"
export OPENBLAS_NUM_THREADS=1 GTEST_TOTAL_SHARDS=$shards
start=$SECONDS
pids=()
for ((k = 0; k < shards; ++k)); do
  GTEST_SHARD_INDEX=$k timeout --signal=KILL "$budget" valgrind --error-exitcode=99 --leak-check=full \
    --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect \
    --num-callers=40 "$binary" --gtest_filter="$filter" --gtest_brief=1 >"$build/memcheck-$k.log" 2>&1 &
  pids+=($!)
done
failed=0
for ((k = 0; k < shards; ++k)); do
  log=$build/memcheck-$k.log
  status=0
  wait "${pids[$k]}" || status=$?
  case $status in
    0) echo "memcheck shard $k: $(grep -E "ERROR SUMMARY" "$log" | tail -n 1 | sed 's/^==[0-9]*== //')" ;;
    137)
      # Out of time: what ran is still checked, since valgrind reports each
      # error as it happens; leaks are only known at exit and go unchecked.
      if grep -qE "^==[0-9]+== (Invalid|Conditional jump|Use of uninitialised|Syscall param|Mismatched)" "$log"; then
        echo "memcheck shard $k: valgrind found errors before the ${budget} s budget ran out:" >&2
        grep -E "^==[0-9]+==" "$log" | head -n 80
        failed=1
      else
        echo "memcheck shard $k: stopped after ${budget} s with no error in the tests that ran (leaks unchecked)" >&2
      fi ;;
    99) echo "memcheck shard $k: valgrind found errors:" >&2; grep -E "^==[0-9]+==" "$log" | head -n 80; failed=1 ;;
    *) echo "memcheck shard $k: the tests failed under valgrind (status $status):" >&2
       grep -E "FAILED|Failure" "$log" | head -n 20; tail -n 40 "$log"; failed=1 ;;
  esac
done
[[ $failed -eq 0 ]] || exit 1
echo "memcheck: clean in $((SECONDS - start)) s"
