// The LAPACK layer: the library's xerbla_ turns an illegal argument into a
// printed line and a negative info, with either backend.
#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "core/LapackStatus.h"
#include "lapack/fortran.h"

TEST(Xerbla, IllegalArgumentReturnsNegativeInfoAndPrintsTheLine) {
  const int m = -1, n = 2, lda = 1;
  double a[2] = {0, 0};
  int ipiv[2] = {0, 0};
  int info = 0;
  testing::internal::CaptureStdout();
  dgetrf_(&m, &n, a, &lda, ipiv, &info);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(info, -1);
  EXPECT_EQ(out, "** On entry to DGETRF, parameter number  1 had an illegal value\n");
  EXPECT_THROW_MSG(OrvaneNet::detail::CheckInfo(info, "unused"), OrvaneNet::OrvaneException,
                   "the 1-th parameter had an illegal value.");
}

TEST(Xerbla, NameIsRightAlignedInSixColumns) {
  // A routine with a character argument: the hidden length must be right
  // for the routine to see 'X' as an illegal uplo.
  const char uplo = 'X';
  const int n = 1;
  double ap[1] = {1.0};
  int info = 0;
  testing::internal::CaptureStdout();
  dpptrf_(&uplo, &n, ap, &info, 1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(info, -1);
  EXPECT_EQ(out, "** On entry to DPPTRF, parameter number  1 had an illegal value\n");
}

TEST(Xerbla, TwoDigitParameterNumber) {
  // dgels with lwork = 0: parameter 10.
  const char trans = 'N';
  const int m = 2, n = 2, nrhs = 1, lda = 2, ldb = 2, lwork = 0;
  double a[4] = {1, 0, 0, 1}, b[2] = {1, 1}, work[1] = {0};
  int info = 0;
  testing::internal::CaptureStdout();
  dgels_(&trans, &m, &n, &nrhs, a, &lda, b, &ldb, work, &lwork, &info, 1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(info, -10);
  EXPECT_EQ(out, "** On entry to  DGELS, parameter number 10 had an illegal value\n");
}
