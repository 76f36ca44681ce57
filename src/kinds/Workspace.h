// Work arrays for the routines whose speed depends on them. With the
// documented minimum, getri, gesdd and gels fall back to unblocked or
// narrowly blocked code (dgetri at n = 1000 takes 1.7 times as long); the
// size the routine asks for in a workspace query lets it block.
#pragma once

#include <climits>
#include <complex>
#include <new>

#include "core/NativeArray.h"

namespace OrvaneNet::detail {

// Scratch arrays handed to LAPACK for the length of one call: work arrays,
// the Rectangular Full Packed copy of a packed triangle, a full-storage copy.
// The kinds' own array type, whose large blocks get huge pages
// (core/LargeBlock.h): a solve in a fresh process then does not pay a page
// fault per 4 KiB of scratch. Use Uninitialized where LAPACK writes first.
template <class T>
using WorkArray = NativeArray<T>;

// Runs a routine with its work array. `call(work, lwork, info)` runs it
// with everything else bound: once as a workspace query (lwork = -1), then
// with the larger of `minimum` and what the query asked for (an answer beyond
// int falls back to `minimum`). Returns the routine's info; an argument the
// query already refused is not passed to LAPACK a second time, so its
// illegal-argument line is printed once.
template <class Scalar, class Call>
int RunWithWorkspace(int minimum, Call&& call) {
  Scalar asked{};
  int lwork = -1, info = 0;
  call(&asked, &lwork, &info);
  if (info != 0) return info;
  const double size = std::real(asked);
  lwork = (size > minimum && size <= INT_MAX) ? static_cast<int>(size) : minimum;
  auto work = WorkArray<Scalar>::Uninitialized(lwork);
  call(work.data(), &lwork, &info);
  return info;
}

// The divide-and-conquer drivers' three work arrays, each sized by one
// workspace query (all three lengths -1). `call(work, lwork, rwork, lrwork,
// iwork, liwork, info)` runs the routine with everything else bound; the
// real routines have no rwork and ignore that pair. Their minimum lengths
// are what the query reports, so there is no fallback: a length beyond int
// (orders above about 32000 with eigenvectors) is an allocation failure.
template <class Scalar, class Call>
int RunWithWorkspaces(Call&& call) {
  Scalar askedWork{};
  double askedRwork = 0;
  int askedIwork = 0, lwork = -1, lrwork = -1, liwork = -1, info = 0;
  call(&askedWork, &lwork, &askedRwork, &lrwork, &askedIwork, &liwork, &info);
  if (info != 0) return info;
  auto length = [](double asked) {
    if (!(asked <= INT_MAX)) throw std::bad_alloc();
    return asked < 1 ? 1 : static_cast<int>(asked);
  };
  lwork = length(std::real(askedWork));
  lrwork = length(askedRwork);
  liwork = length(askedIwork);
  auto work = WorkArray<Scalar>::Uninitialized(lwork);
  auto rwork = WorkArray<double>::Uninitialized(lrwork);
  auto iwork = WorkArray<int>::Uninitialized(liwork);
  call(work.data(), &lwork, rwork.data(), &lrwork, iwork.data(), &liwork, &info);
  return info;
}

}  // namespace OrvaneNet::detail
