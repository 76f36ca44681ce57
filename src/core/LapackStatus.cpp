#include "core/LapackStatus.h"

#include <string_view>

#include "OrvaneNet/OrvaneException.h"
#include "core/Interfaces.h"
#include "core/Messages.h"

namespace OrvaneNet::detail {

std::string FillPlaceholders(const char* text, long long value) {
  const std::string number = std::to_string(value);
  std::string out;
  for (std::string_view rest = text; !rest.empty();) {
    if (rest.starts_with("{0}") || rest.starts_with("{i}")) {
      out += number;
      rest.remove_prefix(3);
    } else {
      out += rest.front();
      rest.remove_prefix(1);
    }
  }
  return out;
}

void CheckIllegal(int info) {
  if (info < 0) {
    throw OrvaneException(FillPlaceholders(msg::IllegalParameter, -static_cast<long long>(info)));
  }
}

void CheckInfo(int info, const char* positiveMessage) {
  CheckIllegal(info);
  if (info > 0) throw OrvaneException(FillPlaceholders(positiveMessage, info));
}

void RequireRows(const IMatrix& b, int rows, const char* what) {
  if (b.get_RowNum() != rows) {
    throw OrvaneException(std::string(what) + " must have " + std::to_string(rows) +
                          " rows, not " + std::to_string(b.get_RowNum()) + ".");
  }
}

void RequireShape(const IMatrix& m, int rows, int cols, const char* what) {
  if (m.get_RowNum() != rows || m.get_ColNum() != cols) {
    throw OrvaneException(std::string(what) + " must be " + std::to_string(rows) + " x " +
                          std::to_string(cols) + ", not " + std::to_string(m.get_RowNum()) +
                          " x " + std::to_string(m.get_ColNum()) + ".");
  }
}

void RequireNonNegative(int rows, int cols) {
  if (rows < 0 || cols < 0) throw OrvaneException(msg::NegativeDimension);
}

}  // namespace OrvaneNet::detail
