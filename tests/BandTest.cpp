// The general band kinds refuse a nonzero outside the band with a message
// naming the value. What the band kinds share with the others is in
// KindsTest.
#include <cmath>

#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "kinds/StorageAccess.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"

using namespace OrvaneNet;
using namespace orvane_test;

TEST(GeneralBand, NonzeroOutsideTheBandIsRefusedWithTheValueInGeneralNumberForm) {
  DoubleGeneralBandMatrix a(5, 5, 1, 2);
  a.Factorize();
  a.set_Item(0, 3, 0.0);
  a.set_Item(0, 3, -0.0);
  const struct {
    int i, j;
    double v;
    const char* message;
  } refused[] = {{0, 3, 1.5, "Value 1.5doesn't fit to (0, 3)"},
                 {4, 0, 1e-5, "Value 1E-05doesn't fit to (4, 0)"},
                 {0, 4, 1e15, "Value 1E+15doesn't fit to (0, 4)"},
                 {0, 3, std::nan(""), "Value NaNdoesn't fit to (0, 3)"}};
  for (const auto& r : refused) EXPECT_THROW_MSG(a.set_Item(r.i, r.j, r.v), OrvaneException, r.message);
  {
    CommaLocale comma;
    EXPECT_THROW_MSG(a.set_Item(0, 3, -0.25), OrvaneException, "Value -0,25doesn't fit to (0, 3)");
  }
  EXPECT_TRUE(a.get_IsFactorized());
  for (double v : detail::StorageAccess::Band(a)) EXPECT_EQ(v, 0.0);

  ComplexGeneralBandMatrix c(5, 5, 1, 2);
  c.set_Item(3, 0, Complex(0.0, -0.0));
  EXPECT_THROW_MSG(c.set_Item(3, 0, Complex(1, 2)), OrvaneException, "Value (1.0000,2.0000)doesn't fit to (3, 0)");
  EXPECT_THROW_MSG(c.set_Item(3, 0, Complex(0, 0.5)), OrvaneException, "Value (0.0000,0.5000)doesn't fit to (3, 0)");
}
