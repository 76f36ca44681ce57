#pragma once

namespace OrvaneNet {

/// Bessel functions of integer order, straight from the C math library.
/// Stateless: both members are static.
class Bessel {
 public:
  Bessel() = default;

  /// J_order(x): j0(x) for order 0, j1(x) for order 1, jn(order, x) otherwise
  /// (negative orders included). Arguments and result pass unchanged; nothing
  /// is checked and nothing is thrown.
  static double J(int order, double x);

  /// Y_order(x): y0, y1 or yn likewise. For x <= 0 the result is the C
  /// library's (-inf at 0, NaN below), without an exception.
  static double Y(int order, double x);
};

}  // namespace OrvaneNet
