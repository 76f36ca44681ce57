// Bessel: the C library's six functions selected by order, results unchanged.
#include <math.h>

#include <climits>
#include <cstring>
#include <limits>

#include "OrvaneNet/Bessel.h"
#include "TestUtil.h"

using OrvaneNet::Bessel;

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Through volatile so the compiler cannot fold the reference calls at build
// time with a rounding different from the run-time library's.
double Ref(bool y, int order, double x) {
  volatile int o = order;
  volatile double v = x;
  if (y) return o == 0 ? ::y0(v) : o == 1 ? ::y1(v) : ::yn(o, v);
  return o == 0 ? ::j0(v) : o == 1 ? ::j1(v) : ::jn(o, v);
}

TEST(Bessel, BitForBitTheCLibraryForEveryOrder) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double args[] = {0.0,  -0.0,  1e-300, 1e-8, 0.1,   0.5, 1.0,  2.404825557695773,
                         3.0,  7.5,   10.0,   25.0, 100.0, 1e5, 1e10, -0.5,
                         -3.0, -40.0, inf,    nan};
  auto expectSame = [](int order, double x) {
    EXPECT_TRUE(SameBits(Bessel::J(order, x), Ref(false, order, x))) << "J " << order << " " << x;
    EXPECT_TRUE(SameBits(Bessel::Y(order, x), Ref(true, order, x))) << "Y " << order << " " << x;
  };
  for (int order = -3; order <= 10; ++order)
    for (double x : args) expectSame(order, x);
  // jn and yn recur over the order: a huge order only with x where that is quick.
  for (int order : {1000, -1000, INT_MAX, INT_MIN})
    for (double x : {nan, inf, -inf, 0.0, -0.0, 1e300}) expectSame(order, x);
}

}  // namespace
