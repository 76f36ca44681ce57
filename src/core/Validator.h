#pragma once

namespace OrvaneNet {
class IMatrix;

class Validator {
 public:
  // Throws OrvaneException "(row, col) is out of range." unless
  // 0 <= row < RowNum and 0 <= col < ColNum.
  static void CheckMatrixRange(const IMatrix& mat, int row, int col);
};

}  // namespace OrvaneNet
