// Choosing the matrix kind a loaded dense matrix is copied into.
#pragma once

#include <string>

#include "Cli.h"
#include "MatrixIo.h"

namespace orvane {

enum class Structure { General, Band, Tridiagonal, Symmetric, SymmetricBand, SymmetricTridiagonal };

struct KindSpec {
  Structure structure = Structure::General;
  bool complex = false;
  int kl = 0;  // subdiagonals (band kinds; for the symmetric band kind, both sides)
  int ku = 0;  // superdiagonals
};

// From --kind, --kl, --ku and --complex. "hermitian", "hermitian-band" and
// "hermitian-tridiagonal" are the complex names of the symmetric kinds and
// imply --complex.
KindSpec ParseKind(const Options& options);
// "general band (kl=1, ku=2)", "Hermitian tridiagonal", ...
std::string Describe(const KindSpec& kind);
bool IsSymmetricFamily(Structure s);
// The kinds whose factorization needs a positive definite matrix.
bool NeedsPositiveDefinite(Structure s);

// A new handle of the kind, order n; the library's refusal of the shape
// (e.g. a band too wide) is bad usage.
template <class Mat>
Mat MakeKind(const KindSpec& kind, int n);

// Copies the square dense matrix `dense` into a new handle of `kind`: the
// general kinds element by element (a nonzero outside the pattern is bad
// input), the symmetric and Hermitian ones with SetValues, whose rule
// accepts pairs that differ by rounding and refuses, as bad input, larger
// differences and nonzeros outside a band.
template <class Mat>
Mat IntoKind(const Mat& dense, const KindSpec& kind, const std::string& path);

}  // namespace orvane
