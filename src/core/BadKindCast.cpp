#include "OrvaneNet/BadKindCast.h"

#include <iterator>
#include <string>

namespace OrvaneNet {
namespace {

constexpr const char* kTypeNames[] = {
    "DoubleGeneral",    "DoubleGeneralBand",    "DoubleGeneralTridiagonal",
    "DoubleSymmetric",  "DoubleSymmetricBand",  "DoubleSymmetricTridiagonal",
    "ComplexGeneral",   "ComplexGeneralBand",   "ComplexGeneralTridiagonal",
    "ComplexHermitian", "ComplexHermitianBand", "ComplexHermitianTridiagonal",
};

std::string TypeName(MatrixType type) {
  const auto k = static_cast<std::int32_t>(type);
  if (k >= 0 && k < static_cast<std::int32_t>(std::size(kTypeNames))) return kTypeNames[k];
  return "MatrixType(" + std::to_string(k) + ")";
}

std::string Expected(MatrixType type) {
  if (type == MatrixType::DoubleGeneral || type == MatrixType::ComplexGeneral) return "dense general";
  return TypeName(type);
}

}  // namespace

BadKindCast::BadKindCast(const std::string& role, MatrixType expected, MatrixType given)
    : m_message(role + " must be a " + Expected(expected) + " matrix; it is a " + TypeName(given) +
                " matrix."),
      m_expected(expected),
      m_given(given) {}

}  // namespace OrvaneNet
