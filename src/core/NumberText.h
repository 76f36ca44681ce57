// The two text forms of a double that the library prints: the fixed-point form
// with n decimals, and the general form with up to 15 significant digits.
// Both take the decimal separator from the global C++ locale's numpunct.
#pragma once

#include <string>

namespace OrvaneNet::detail {

// Number conventions read once from the global C++ locale, so that loops over
// many numbers do not consult the locale per number.
struct NumberConventions {
  char decimalPoint = '.';
  char groupSeparator = ',';
  static NumberConventions Current();
};

// Fixed-point form: |x| rounded to 15 significant digits, then to `digits`
// decimals with ties away from zero; "-" only when the rounded value is
// nonzero; NaN, Infinity, -Infinity. A negative count prints as 0 decimals.
void AppendFixed(std::string& out, double x, int digits, const NumberConventions& conv);
std::string FormatFixed(double x, int digits);

// General form: 15 significant digits without trailing zeros, fixed notation
// for decimal exponents -4 ... 14, else d.dddE+XX; zero prints as "0".
void AppendGeneral(std::string& out, double x, const NumberConventions& conv);
std::string FormatGeneral(double x);

}  // namespace OrvaneNet::detail

namespace OrvaneNet::detail {

// Shortest form: the fewest digits that read back to the same double (as
// std::to_chars without a precision writes them, "0.1", "-0", "5e-324",
// "1e+21"), with the decimal point of conv and no group separators; NaN,
// Infinity, -Infinity. The number parser reads every such text back bit for
// bit (NaN as a NaN).
void AppendShortest(std::string& out, double x, const NumberConventions& conv);
// The shortest form with '.', for messages.
std::string FormatShortest(double x);

}  // namespace OrvaneNet::detail
