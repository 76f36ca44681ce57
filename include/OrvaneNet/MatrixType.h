#pragma once

#include <cstdint>

namespace OrvaneNet {

/// The twelve matrix kinds. The values are fixed and may be stored.
enum class MatrixType : std::int32_t {
  DoubleGeneral = 0,
  DoubleGeneralBand = 1,
  DoubleGeneralTridiagonal = 2,
  DoubleSymmetric = 3,
  DoubleSymmetricBand = 4,
  DoubleSymmetricTridiagonal = 5,
  ComplexGeneral = 6,
  ComplexGeneralBand = 7,
  ComplexGeneralTridiagonal = 8,
  ComplexHermitian = 9,
  ComplexHermitianBand = 10,
  ComplexHermitianTridiagonal = 11,
};

}  // namespace OrvaneNet
