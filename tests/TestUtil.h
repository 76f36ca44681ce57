// Helpers shared by the test files: exact exception checks, a pinned
// comma-decimal locale, and seeded random matrices.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <locale>
#include <random>
#include <string>

#include "OrvaneNet/Complex.h"

// Checks the exception type and its what() byte for byte.
#define EXPECT_THROW_MSG(statement, exception_type, expected_message)            \
  do {                                                                           \
    try {                                                                        \
      statement;                                                                 \
      ADD_FAILURE() << "no exception from: " #statement;                         \
    } catch (const exception_type& e) {                                          \
      EXPECT_EQ(std::string(e.what()), std::string(expected_message));           \
    } catch (const std::exception& e) {                                          \
      ADD_FAILURE() << "wrong exception type from: " #statement << ": " << e.what(); \
    }                                                                            \
  } while (0)

namespace orvane_test {

// Decimal comma and '.' for grouping, installed as the global C++ locale for
// the lifetime of the object.
struct CommaNumpunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

class CommaLocale {
 public:
  CommaLocale() : m_saved(std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct))) {}
  ~CommaLocale() { std::locale::global(m_saved); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

 private:
  std::locale m_saved;
};

inline double Eps() { return std::numeric_limits<double>::epsilon(); }

// Uniform values in [-1, 1), real or complex, from a fixed seed.
template <class T>
T RandomValue(std::mt19937& rng) {
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  if constexpr (std::is_same_v<T, double>) {
    return dist(rng);
  } else {
    const double re = dist(rng);
    return T(re, dist(rng));
  }
}

inline double Abs(double v) { return std::fabs(v); }
inline double Abs(OrvaneNet::Complex v) { return std::abs(v.ToStdComplex()); }
inline OrvaneNet::Complex Conj(OrvaneNet::Complex v) { return OrvaneNet::Complex::Conj(v); }
inline double Conj(double v) { return v; }

}  // namespace orvane_test
