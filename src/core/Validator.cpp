#include "core/Validator.h"

#include <string>

#include "OrvaneNet/OrvaneException.h"
#include "core/Interfaces.h"
#include "core/Messages.h"

namespace OrvaneNet {

void Validator::CheckMatrixRange(const IMatrix& mat, int row, int col) {
  if (row < 0 || col < 0 || row > mat.get_RowNum() - 1 || col > mat.get_ColNum() - 1) {
    throw OrvaneException("(" + std::to_string(row) + msg::IndexSeparator + std::to_string(col) +
                          msg::RangeSuffix);
  }
}

}  // namespace OrvaneNet
