#include "Kinds.h"

#include <OrvaneNet/MatrixType.h>
#include <OrvaneNet/OrvaneException.h>

namespace orvane {
namespace {

using OrvaneNet::MatrixType;
using OrvaneNet::OrvaneException;

struct KindName {
  const char* name;
  Structure structure;
  bool impliesComplex;
};
constexpr KindName kKindNames[] = {
    {"general", Structure::General, false},
    {"band", Structure::Band, false},
    {"tridiagonal", Structure::Tridiagonal, false},
    {"symmetric", Structure::Symmetric, false},
    {"symmetric-band", Structure::SymmetricBand, false},
    {"symmetric-tridiagonal", Structure::SymmetricTridiagonal, false},
    {"hermitian", Structure::Symmetric, true},
    {"hermitian-band", Structure::SymmetricBand, true},
    {"hermitian-tridiagonal", Structure::SymmetricTridiagonal, true},
};

std::string Position(int i, int j) {
  std::string out(1, '(');  // appended: "(" + std::string&& trips GCC 12's -Wrestrict at -O3
  out += std::to_string(i);
  out += ", ";
  out += std::to_string(j);
  out += ')';
  return out;
}

}  // namespace

bool IsSymmetricFamily(Structure s) {
  return s == Structure::Symmetric || s == Structure::SymmetricBand || s == Structure::SymmetricTridiagonal;
}
bool NeedsPositiveDefinite(Structure s) {
  return s == Structure::SymmetricBand || s == Structure::SymmetricTridiagonal;
}

KindSpec ParseKind(const Options& options) {
  KindSpec kind;
  kind.complex = options.Has("--complex");
  const std::string name = options.Value("--kind").value_or("general");
  bool known = false;
  for (const KindName& k : kKindNames) {
    if (name == k.name) {
      kind.structure = k.structure;
      kind.complex = kind.complex || k.impliesComplex;
      known = true;
    }
  }
  if (!known) {
    BadInput("unknown kind '" + name +
             "' (general, band, tridiagonal, symmetric, symmetric-band, symmetric-tridiagonal)");
  }
  const auto kl = options.Value("--kl");
  const auto ku = options.Value("--ku");
  if (kind.structure == Structure::Band) {
    if (!kl || !ku) BadInput("--kind band needs --kl N and --ku N");
    kind.kl = ParseInt(*kl, "--kl");
    kind.ku = ParseInt(*ku, "--ku");
  } else if (kind.structure == Structure::SymmetricBand) {
    if (!kl && !ku) BadInput("--kind " + name + " needs --kl N (off-diagonals on each side)");
    kind.kl = kind.ku = ParseInt(kl ? *kl : *ku, kl ? "--kl" : "--ku");
    if (kl && ku && ParseInt(*ku, "--ku") != kind.kl) {
      BadInput("--kind " + name + " has as many diagonals above as below: --kl and --ku differ");
    }
  } else if (kl || ku) {
    BadInput("--kl and --ku apply only to the band kinds");
  }
  if (kind.kl < 0 || kind.ku < 0) BadInput("--kl and --ku must not be negative");
  return kind;
}

std::string Describe(const KindSpec& kind) {
  const char* sym = kind.complex ? "Hermitian" : "symmetric";
  const std::string field = kind.complex ? "complex " : "";
  switch (kind.structure) {
    case Structure::General:
      return field + "general";
    case Structure::Band:
      return field + "general band (kl=" + std::to_string(kind.kl) + ", ku=" + std::to_string(kind.ku) + ")";
    case Structure::Tridiagonal:
      return field + "general tridiagonal";
    case Structure::Symmetric:
      return sym;
    case Structure::SymmetricBand:
      return std::string(sym) + " band (kl=ku=" + std::to_string(kind.kl) + ")";
    case Structure::SymmetricTridiagonal:
      return std::string(sym) + " tridiagonal";
  }
  return {};
}

template <class Mat>
Mat MakeKind(const KindSpec& kind, int n) {
  constexpr bool complex = std::is_same_v<Mat, ComplexMatrix>;
  try {
    switch (kind.structure) {
      case Structure::General:
        return Mat(n, n);
      case Structure::Band:
        return Mat(n, n, kind.kl, kind.ku);
      case Structure::Tridiagonal:
        return Mat(n, n, 3);  // a band width of 3 is the tridiagonal kind
      case Structure::Symmetric:
        return Mat(n, n, complex ? MatrixType::ComplexHermitian : MatrixType::DoubleSymmetric);
      case Structure::SymmetricBand:
        return Mat(n, n, complex ? MatrixType::ComplexHermitianBand : MatrixType::DoubleSymmetricBand,
                   kind.kl, kind.kl);
      case Structure::SymmetricTridiagonal:
        return Mat(n, n,
                   complex ? MatrixType::ComplexHermitianTridiagonal : MatrixType::DoubleSymmetricTridiagonal);
    }
  } catch (const OrvaneException& e) {
    BadInput("cannot make a " + Describe(kind) + " matrix of order " + std::to_string(n) + ": " + e.what());
  }
  return Mat();
}

template <class Mat>
Mat IntoKind(const Mat& dense, const KindSpec& kind, const std::string& path) {
  const int n = dense.get_RowNum();
  Mat out = MakeKind<Mat>(kind, n);
  if (IsSymmetricFamily(kind.structure)) {
    // The library's rule: symmetric (Hermitian) to within rounding, the upper
    // triangle kept, zero outside a band; its message names the element.
    try {
      out.SetValues(dense.ToVector(OrvaneNet::Layout::ColumnMajor), OrvaneNet::Layout::ColumnMajor);
    } catch (const OrvaneException& e) {
      BadInput(path + ": " + e.what());
    }
    return out;
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const auto v = dense.get_Item(i, j);
      if (v == ElementOf<Mat>{}) continue;
      try {
        out.set_Item(i, j, v);
      } catch (const OrvaneException& e) {
        BadInput(path + ": element " + Position(i, j) + " = " + Show(v) + " does not fit a " + Describe(kind) +
                 " matrix (" + e.what() + ")");
      }
    }
  }
  return out;
}

template Matrix MakeKind(const KindSpec&, int);
template ComplexMatrix MakeKind(const KindSpec&, int);
template Matrix IntoKind(const Matrix&, const KindSpec&, const std::string&);
template ComplexMatrix IntoKind(const ComplexMatrix&, const KindSpec&, const std::string&);

}  // namespace orvane
