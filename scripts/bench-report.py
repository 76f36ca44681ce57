#!/usr/bin/env python3
"""Turns the JSON output of the bench_* programs into one Markdown table.

    bench-report.py table RESULT.json...      library vs raw, one row per case
    bench-report.py threads ONE.json TWO.json wall times with 1 and 2 BLAS threads

Each paired case reports the counters lib_ms, raw_ms and ratio (see
bench/PairedTiming.h); with --benchmark_repetitions the median aggregate is
used, that is the median over repetitions of each counter (so the ratio
column is the median of the paired per-repetition ratios, not necessarily
lib / raw of the two columns). Cases timed as separate benchmarks (the FFT
against FFTW) are paired here by name, from their median CPU times.
Standard library only.
"""

import json
import re
import sys

# What each library case is measured against, and whether the case is bound
# by LAPACK/BLAS work (those rows are flagged beyond 5 %).
RAW = [
    (r"^DenseSolve$", "dgesv", True),
    (r"^DenseFactorize$", "dgetrf", True),
    (r"^DenseSolveFactored$", "dgetrs", True),
    (r"^DenseInvert$", "dgetri (queried lwork)", True),
    (r"^ComplexDenseSolve$", "zgesv", True),
    (r"^GeneralBandSolve$", "dgbsv", True),
    (r"^SymmetricBandSolve$", "dpbsv", True),
    (r"^GeneralOneCall$", "dgtsv", True),
    (r"^GeneralFactorizeSolve$", "dgttrf + dgttrs", True),
    (r"^SymmetricOneCall$", "dptsv", True),
    (r"^PackedCholeskySolve$", "dppsv", True),
    (r"^PackedEigenproblem$", "dspev", True),
    (r"^(Real|Complex)/", "dgemm / zgemm (1 thread)", False),
    (r"^(Real|Complex)Format$", "bare to_chars loop", False),
    (r"^(Real|Complex)Save$", "bare to_chars + write + fsync", False),
    (r"^(Real|Complex)Load$", "bare read + from_chars", False),
    (r"^Solve$", "dgesv", True),
    (r"^ComplexSolve$", "zgesv", True),
    (r"^Inverse$", "dgetrf + dgetri (queried lwork)", True),
    (r"^PackedSpdSolve$", "dppsv", True),
    (r"^SymmetricEigen$", "dspev", True),
    (r"^Svd$", "dgesvd 'A' (queried lwork)", True),
    (r"^LeastSquares$", "dgels (queried lwork)", True),
    (r"^PolynomialFit$", "powers + dgels (queried lwork)", False),
    (r"^(Real|Complex)_(Get|Set|Proxy)", "plain array loop", False),
    (r"^Bessel(J|Y)$", "jn / yn of the C library", False),
    (r"^FFT (Forward|Backward)$", "FFTW_MEASURE plan", False),
    (r"^PackedSpdSolveVsFull$", "dposv (full storage)", True),
    (r"^PackedHpdSolveVsFull$", "zposv (full storage)", True),
    (r"^PackedSpdSolveFresh$", "dposv, each side once per process", True),
    (r"^PackedHpdSolveFresh$", "zposv, each side once per process", True),
    (r"^SymmetricEigenVsFull$", "dsyevd (full storage, queried work)", True),
    (r"^HermitianEigenVsFull$", "zheevd (full storage, queried work)", True),
    (r"^SvdVsGesdd$", "dgesdd 'A' (queried work)", True),
    (r"^ComplexSvdVsGesdd$", "zgesdd 'A' (queried work)", True),
    (r"^FFT \w+( \w+)?/(ESTIMATE|MEASURE)$", "FFTW plan execute + copies", False),
    (r"^Product2Threads/", "the same on 1 thread (wall time)", False),
    (r"^Product2ThreadsVsBlas/", "dgemm / zgemm on 2 threads (wall time)", False),
    (r"^ProductDispatch/", "the same held to 1 thread (wall time)", False),
    (r"^RealGeneralEigen$", "dgeev (queried lwork)", True),
    (r"^ComplexGeneralEigen$", "zgeev (queried lwork)", True),
    (r"^DftForward$", "FFTW_ESTIMATE c2c plan", False),
    (r"^DftForwardReal$", "FFTW_ESTIMATE r2c plan", False),
    (r"^RoundTripSave$", "bare shortest to_chars + write + fsync", False),
    (r"^RoundTripLoad$", "bare read + from_chars", False),
    (r"^Dense(Set|Get)$", "memcpy (colmajor:1) / blocked transpose (colmajor:0)", False),
    (r"^DenseFromValues$", "new array + memcpy / blocked transpose", False),
    (r"^(Set|Get)ItemLoopVs(Set|Get)Values$", "raw = SetValues / GetValues; ratio = loop / bulk", False),
    (r"^(GeneralBand|SymmetricBand|Packed)Get$", "plain loop over the stored elements", False),
    (r"^(GeneralBand|SymmetricBand|Packed)Set$", "plain loop over the stored elements", False),
    (r"^(GeneralBand|SymmetricBand|Packed)SetChecked$", "plain loop over the whole input, checking", False),
    (r"^Matrix(Sum|Scale|Negate)$", "new array + plain loop", False),
    (r"^MatrixTranspose$", "new array + blocked transpose", False),
    (r"^ReciprocalCondition$", "dgecon (norm given)", True),
    (r"^ComplexReciprocalCondition$", "zgecon (norm given)", True),
    (r"^ComplexDenseFactorize$", "zgetrf", True),
    (r"^(Complex)?LangeBeforeGetrf$", "?getrf alone (other side: ?lange + ?getrf, no library)", False),
]

# Separately timed pairs: library run name -> raw run name.
NAME_PAIRS = [
    (r"^(Forward|Backward)/Library/(\d+)$", r"\1/FftwMeasure/\2", r"FFT \1", r"N:\2"),
]

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def runs(path):
    with open(path) as f:
        text = f.read()
    # A program none of whose cases matched ORVANE_BENCH_FILTER writes nothing.
    data = json.loads(text) if text.strip() else {}
    rows = data.get("benchmarks", [])
    medians = [r for r in rows if r.get("aggregate_name") == "median"]
    if not medians:
        medians = [r for r in rows if r.get("run_type", "iteration") == "iteration"]
    for r in rows:
        # Skipped cases carry no aggregate.
        if r.get("error_occurred") and r not in medians:
            medians.append(r)
    return data.get("context", {}), medians


def run_name(r):
    name = r.get("run_name", r["name"])
    return re.sub(r"/(manual_time|real_time)$", "", name)


def split(name):
    """'DenseSolve/n:250' -> ('DenseSolve', 'n:250'); 'Real/avx2/m:1/n:2' -> ('Real/avx2', 'm:1 n:2')."""
    parts = name.split("/")
    op = [p for p in parts if ":" not in p and not p.isdigit()]
    size = [p for p in parts if ":" in p or p.isdigit()]
    return "/".join(op), " ".join(size)


def raw_of(op):
    for pattern, raw, bound in RAW:
        if re.search(pattern, op):
            return raw, bound
    return "?", False


def fmt(x):
    if x is None:
        return "-"
    if x >= 100:
        return "%.0f" % x
    if x >= 1:
        return "%.2f" % x
    return "%.3g" % x


def pair_by_name(name, r, by_name):
    """(op, size, lib ms, raw ms, ratio) for a separately timed pair, or None."""
    for lib_re, raw_sub, op_sub, size_sub in NAME_PAIRS:
        if not re.match(lib_re, name):
            continue
        other = by_name.get(re.sub(lib_re, raw_sub, name))
        if other is None or other.get("error_occurred"):
            return None
        lib = r["cpu_time"] * TO_MS[r["time_unit"]]
        raw = other["cpu_time"] * TO_MS[other["time_unit"]]
        return re.sub(lib_re, op_sub, name), re.sub(lib_re, size_sub, name), lib, raw, lib / raw
    return None


def table(paths):
    out = []
    flagged = []
    for path in paths:
        context, rows = runs(path)
        program = context.get("executable", path).split("/")[-1]
        by_name = {run_name(r): r for r in rows}
        used = set()
        for r in rows:
            name = run_name(r)
            op, size = split(name)
            if r.get("error_occurred"):
                if name in used:
                    continue
                out.append((program, op, size, None, None, None, "skipped: " + r.get("error_message", ""), False))
                continue
            if "lib_ms" in r and "raw_ms" in r:
                lib, raw = r["lib_ms"], r["raw_ms"]
                ratio = r.get("ratio", lib / raw)
            else:
                paired = pair_by_name(name, r, by_name)
                if paired is None:
                    continue
                op, size, lib, raw, ratio = paired
            raw_name, bound = raw_of(op)
            out.append((program, op, size, lib, raw, ratio, raw_name, bound))
            used.add(name)

    print("| program | operation | size | library ms | raw ms | ratio | raw counterpart |")
    print("|---|---|---|---:|---:|---:|---|")
    for program, op, size, lib, raw, ratio, raw_name, bound in out:
        mark = ""
        if ratio is not None and bound and ratio > 1.05:
            mark = " **>5%**"
            flagged.append((program, op, size, ratio))
        print("| %s | %s | %s | %s | %s | %s%s | %s |" % (
            program, op, size, fmt(lib), fmt(raw), "-" if ratio is None else "%.3f" % ratio, mark, raw_name))
    if flagged:
        print()
        print("LAPACK-bound rows more than 5% behind their raw counterpart:")
        for program, op, size, ratio in flagged:
            print("- %s %s %s: %.3f" % (program, op, size, ratio))


def threads(one, two):
    _, rows1 = runs(one)
    _, rows2 = runs(two)
    second = {run_name(r): r for r in rows2}
    print("| operation | size | library 1 thread ms | library 2 threads ms | speed-up | raw 1 thread ms | raw 2 threads ms | speed-up |")
    print("|---|---|---:|---:|---:|---:|---:|---:|")
    for r in rows1:
        name = run_name(r)
        s = second.get(name)
        if s is None or "lib_wall_ms" not in r or "lib_wall_ms" not in s:
            continue
        op, size = split(name)
        l1, l2, r1, r2 = r["lib_wall_ms"], s["lib_wall_ms"], r["raw_wall_ms"], s["raw_wall_ms"]
        print("| %s | %s | %s | %s | %.2f | %s | %s | %.2f |" % (
            op, size, fmt(l1), fmt(l2), l1 / l2, fmt(r1), fmt(r2), r1 / r2))


def main(argv):
    if len(argv) >= 3 and argv[1] == "table":
        table(argv[2:])
    elif len(argv) == 4 and argv[1] == "threads":
        threads(argv[2], argv[3])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
