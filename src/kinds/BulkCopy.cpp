#include "kinds/BulkCopy.h"

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "core/NumberText.h"

namespace OrvaneNet::detail {
namespace {

std::string Text(double v) { return FormatShortest(v); }
template <class T>
std::string Text(const T& v) {
  return "(" + FormatShortest(RealOf(v)) + "," + FormatShortest(ImagOf(v)) + ")";
}

std::string Position(int i, int j) {
  return "(" + std::to_string(i) + msg::IndexSeparator + std::to_string(j) + ")";
}

std::string Shape(int rows, int cols) { return std::to_string(rows) + " x " + std::to_string(cols); }

}  // namespace

void RequireValueCount(const char* operation, std::size_t count, int rows, int cols) {
  const auto needed = static_cast<std::uint64_t>(std::max(rows, 0)) * static_cast<std::uint64_t>(std::max(cols, 0));
  if (count == needed) return;
  const std::string head = operation == std::string("GetValues")
                               ? std::string(msg::GetValuesRoom)
                               : std::string(operation) + msg::ValueCountNeeds;
  throw OrvaneException(head + std::to_string(needed) + msg::ValueCountFor + Shape(rows, cols) +
                        msg::ValueCountNot + std::to_string(count) + ".");
}

template <class T>
void RaiseFirstSymmetricFault(const T* in, bool rowMajor, const SymmetricRule& rule, double tol) {
  const int n = rule.n;
  auto at = [&](int i, int j) -> const T& { return in[FlatIndex(i, j, n, n, rowMajor)]; };
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const T& x = at(i, j);
      if (std::abs(i - j) > rule.k) {
        if (IsZero(x)) continue;
        throw OrvaneException(msg::OutsideBandPrefix + std::string(rule.kind) + ": element " +
                              Position(i, j) + " = " + Text(x) + msg::OutsideBandNotZero);
      }
      if (i == j) {
        if (!rule.hermitian || std::fabs(ImagOf(x)) <= tol) continue;
        throw OrvaneException(msg::DiagonalNotReal + Position(i, i) + " = " + Text(x) +
                              msg::DiagonalTolerance + FormatShortest(tol) + ").");
      }
      if (i > j || PairAgrees(x, at(j, i), tol)) continue;
      throw OrvaneException((rule.hermitian ? msg::NotHermitian : msg::NotSymmetric) + Position(i, j) +
                            " = " + Text(x) + " but element " + Position(j, i) + " = " + Text(at(j, i)) +
                            (rule.hermitian ? msg::HermitianPairTolerance : msg::SymmetricPairTolerance) +
                            FormatShortest(tol) + ").");
    }
  }
}

template void RaiseFirstSymmetricFault(const double*, bool, const SymmetricRule&, double);
template void RaiseFirstSymmetricFault(const Complex*, bool, const SymmetricRule&, double);
template void RaiseFirstSymmetricFault(const std::complex<double>*, bool, const SymmetricRule&, double);

}  // namespace OrvaneNet::detail
