// The LAPACK layer: the library's xerbla_ turns an illegal argument into one
// printed line and a negative info, with either backend.
#include "TestUtil.h"
#include "lapack/fortran.h"

namespace {

template <class F>
std::string Printed(F call) {
  testing::internal::CaptureStdout();
  call();
  return testing::internal::GetCapturedStdout();
}

TEST(Xerbla, IllegalArgumentReturnsNegativeInfoAndPrintsTheLine) {
  const int minusOne = -1, zero = 0, one = 1, two = 2;
  const char trans = 'N', uplo = 'X';
  double a[4] = {1, 0, 0, 1}, b[2] = {1, 1}, work[1] = {0};
  int ipiv[2] = {0, 0}, info = 0;
  EXPECT_EQ(Printed([&] { dgetrf_(&minusOne, &two, a, &one, ipiv, &info); }),
            "** On entry to DGETRF, parameter number  1 had an illegal value\n");
  EXPECT_EQ(info, -1);
  // A character argument: its hidden length must be right for 'X' to be seen
  // as an illegal uplo.
  EXPECT_EQ(Printed([&] { dpptrf_(&uplo, &one, a, &info, 1); }),
            "** On entry to DPPTRF, parameter number  1 had an illegal value\n");
  EXPECT_EQ(info, -1);
  // A five-letter name right-aligned in six columns; lwork = 0 is parameter 10.
  EXPECT_EQ(Printed([&] { dgels_(&trans, &two, &two, &one, a, &two, b, &two, work, &zero, &info, 1); }),
            "** On entry to  DGELS, parameter number 10 had an illegal value\n");
  EXPECT_EQ(info, -10);
}

}  // namespace
