#!/usr/bin/env bash
# Builds the benchmarks in Release (build/bench), runs every bench_* program
# with one OpenBLAS thread and prints one Markdown table: each operation of
# the library at two or three sizes, its median time, the raw LAPACK/BLAS
# (FFTW, bare to_chars/from_chars, plain loop) time for the same work in the
# same run, and the ratio. Then the LAPACK-bound procedures once more with two
# OpenBLAS threads, as a wall-time comparison.
#
# Environment: ORVANE_BENCH_REPETITIONS (default 5), ORVANE_BENCH_MIN_TIME
# (seconds per repetition, default 0.05), ORVANE_BENCH_FILTER (a
# --benchmark_filter regex applied to every program, default all).
# The JSON of every program is kept in build/bench/results/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

dir=build/bench
out=$dir/results
reps=${ORVANE_BENCH_REPETITIONS:-5}
min_time=${ORVANE_BENCH_MIN_TIME:-0.05}
filter=${ORVANE_BENCH_FILTER:-.}

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF \
  -DORVANE_BUILD_TOOLS=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
mkdir -p "$out"
rm -f "$out"/*.json

run() {  # run OUTPUT_NAME EXECUTABLE [ARGS...]
  local name=$1 exe=$2; shift 2
  echo "--- $name" >&2
  "$exe" --benchmark_repetitions="$reps" --benchmark_min_time="$min_time" \
    --benchmark_report_aggregates_only=true --benchmark_filter="$filter" \
    --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@" >"$out/$name.txt"
}

start=$SECONDS
for exe in "$dir"/bench/bench_*; do
  [[ -f $exe && -x $exe ]] || continue
  OPENBLAS_NUM_THREADS=1 run "$(basename "$exe")" "$exe"
done
# The procedures bound by LAPACK with two threads; wall time is the figure.
OPENBLAS_NUM_THREADS=2 run threads2-bench_procedures "$dir/bench/bench_procedures" \
  --benchmark_filter='^(Solve|Inverse|PackedSpdSolve|SymmetricEigen|Svd|LeastSquares)/'

echo
echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs; load: $(cut -d' ' -f1-3 /proc/loadavg);" \
  "runs took $((SECONDS - start)) s; $reps repetitions, medians."
echo
python3 scripts/bench-report.py table "$out"/bench_*.json
echo
echo "OpenBLAS threads (OPENBLAS_NUM_THREADS=1 vs 2), wall-time medians:"
echo
python3 scripts/bench-report.py threads "$out/bench_procedures.json" \
  "$out/threads2-bench_procedures.json"
