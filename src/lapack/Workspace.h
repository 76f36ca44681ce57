// Work arrays for the routines whose speed depends on them. With the
// documented minimum, getri, gesvd and gels fall back to unblocked or
// narrowly blocked code (dgetri at n = 1000 takes 1.7 times as long); the
// size the routine asks for in a workspace query lets it block.
#pragma once

#include <climits>
#include <complex>
#include <vector>

namespace OrvaneNet::lapack {

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
  std::vector<Scalar> work(static_cast<std::size_t>(lwork));
  call(work.data(), &lwork, &info);
  return info;
}

}  // namespace OrvaneNet::lapack
