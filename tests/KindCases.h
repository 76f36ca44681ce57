// The twelve kinds as test parameters: a handle of each made from its
// MatrixType (and band widths), with what the tests need to know of each.
#pragma once

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/MatrixType.h>

#include <cstdlib>
#include <ostream>

namespace orvane_test {

struct KindCase {
  const char* name;
  OrvaneNet::MatrixType type;
  int sub, super;  // sub < 0: a kind constructed without band widths
};

inline const KindCase kKinds[] = {
    {"DoubleGeneral", OrvaneNet::MatrixType::DoubleGeneral, -1, 0},
    {"DoubleGeneralBand", OrvaneNet::MatrixType::DoubleGeneralBand, 1, 2},
    {"DoubleGeneralTridiagonal", OrvaneNet::MatrixType::DoubleGeneralTridiagonal, -1, 0},
    {"DoubleSymmetric", OrvaneNet::MatrixType::DoubleSymmetric, -1, 0},
    {"DoubleSymmetricBand", OrvaneNet::MatrixType::DoubleSymmetricBand, 2, 2},
    {"DoubleSymmetricTridiagonal", OrvaneNet::MatrixType::DoubleSymmetricTridiagonal, -1, 0},
    {"ComplexGeneral", OrvaneNet::MatrixType::ComplexGeneral, -1, 0},
    {"ComplexGeneralBand", OrvaneNet::MatrixType::ComplexGeneralBand, 2, 1},
    {"ComplexGeneralTridiagonal", OrvaneNet::MatrixType::ComplexGeneralTridiagonal, -1, 0},
    {"ComplexHermitian", OrvaneNet::MatrixType::ComplexHermitian, -1, 0},
    {"ComplexHermitianBand", OrvaneNet::MatrixType::ComplexHermitianBand, 1, 1},
    {"ComplexHermitianTridiagonal", OrvaneNet::MatrixType::ComplexHermitianTridiagonal, -1, 0},
};

// By name: gtest would otherwise print the raw bytes, padding included.
inline void PrintTo(const KindCase& k, std::ostream* os) { *os << k.name; }

inline bool IsComplex(const KindCase& k) { return k.type >= OrvaneNet::MatrixType::ComplexGeneral; }
// The symmetric (real) and Hermitian (complex) kinds.
inline bool IsHermitian(const KindCase& k) { return static_cast<int>(k.type) % 6 >= 3; }
// Dense general and packed: the kinds with Inv().
inline bool IsInvertible(const KindCase& k) { return static_cast<int>(k.type) % 3 == 0; }
inline bool IsPacked(const KindCase& k) { return IsHermitian(k) && IsInvertible(k); }
// The symmetric and Hermitian band and tridiagonal kinds: positive definite only.
inline bool IsPositiveDefiniteOnly(const KindCase& k) { return IsHermitian(k) && !IsInvertible(k); }

// Whether (i, j) lies inside the kind's pattern.
inline bool InPattern(const KindCase& k, int i, int j) {
  switch (static_cast<int>(k.type) % 6) {
    case 1:
    case 4:
      return j - i <= k.super && i - j <= k.sub;
    case 2:
    case 5:
      return std::abs(i - j) <= 1;
    default:
      return true;
  }
}

// A new zero handle H (Matrix or ComplexMatrix) of the kind, order n.
template <class H>
H MakeOfKind(const KindCase& k, int n) {
  return k.sub < 0 ? H(n, n, k.type) : H(n, n, k.type, k.sub, k.super);
}

// Runs body(H()) with H the kind's handle type, Matrix or ComplexMatrix.
template <class Body>
void WithHandle(const KindCase& k, Body body) {
  IsComplex(k) ? body(OrvaneNet::ComplexMatrix()) : body(OrvaneNet::Matrix());
}

}  // namespace orvane_test
