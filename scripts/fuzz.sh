#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer +
# UndefinedBehaviorSanitizer, library included) in build/fuzz, replays every
# input in fuzz/regressions and fuzz/corpus once, then fuzzes each target for
# FUZZ_SECONDS (default 45) from a fixed seed, both targets at once. New
# inputs go to build/fuzz/corpus-*, never into the repository; a crash, leak,
# UB report, timeout (10 s per input) or an RSS above 2 GB fails the run and
# leaves the input in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-45}
build=build/fuzz
targets=(real complex)

echo "=== fuzz: building $build with clang"
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# Load needs a path: each target writes its input to a file of its own here.
export TMPDIR="$PWD/$build/tmp"
rm -rf "$TMPDIR" "$build/artifacts"
mkdir -p "$TMPDIR" "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export OPENBLAS_NUM_THREADS=1

for t in "${targets[@]}"; do
  inputs=(fuzz/regressions/"$t"/* fuzz/corpus/"$t"/*)
  existing=()
  for f in "${inputs[@]}"; do [[ -f $f ]] && existing+=("$f"); done
  echo "=== fuzz: replaying ${#existing[@]} saved inputs of load_$t"
  "$build/fuzz_load_$t" -runs=1 "${existing[@]}" >"$build/replay-$t.log" 2>&1 ||
    { cat "$build/replay-$t.log"; exit 1; }
done

pids=()
for t in "${targets[@]}"; do
  echo "=== fuzz: load_$t for ${seconds} s (seed 1)"
  mkdir -p "$build/corpus-$t"
  "$build/fuzz_load_$t" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -dict=fuzz/load.dict -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t-" "$build/corpus-$t" "fuzz/corpus/$t" \
    >"$build/fuzz-$t.log" 2>&1 &
  pids+=($!)
done
status=0
for k in "${!targets[@]}"; do
  t=${targets[$k]}
  if wait "${pids[$k]}"; then
    echo "    load_$t: $(grep -m1 '^Done' "$build/fuzz-$t.log" || echo done)"
  else
    echo "    load_$t FAILED; log:"
    tail -n 60 "$build/fuzz-$t.log"
    status=1
  fi
done
rm -rf "$TMPDIR"
[[ $status -eq 0 ]] || { echo "Fuzzing found a problem; inputs in $build/artifacts" >&2; exit 1; }
echo "Fuzzing found nothing."
