#include "OrvaneNet/Bessel.h"

#include <math.h>  // j0, j1, jn, y0, y1, yn are POSIX, declared by <math.h> only

namespace OrvaneNet {

double Bessel::J(int order, double x) {
  if (order == 0) return ::j0(x);
  if (order == 1) return ::j1(x);
  return ::jn(order, x);
}

double Bessel::Y(int order, double x) {
  if (order == 0) return ::y0(x);
  if (order == 1) return ::y1(x);
  return ::yn(order, x);
}

}  // namespace OrvaneNet
