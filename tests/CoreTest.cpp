#include "OrvaneNet/MatrixType.h"
#include "OrvaneNet/OrvaneException.h"
#include "TestUtil.h"
#include "core/LapackStatus.h"
#include "core/Validator.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;

TEST(MatrixTypeValues, AreFixed) {
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleGeneral), 0);
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleGeneralBand), 1);
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleGeneralTridiagonal), 2);
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleSymmetric), 3);
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleSymmetricBand), 4);
  EXPECT_EQ(static_cast<int>(MatrixType::DoubleSymmetricTridiagonal), 5);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexGeneral), 6);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexGeneralBand), 7);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexGeneralTridiagonal), 8);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexHermitian), 9);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexHermitianBand), 10);
  EXPECT_EQ(static_cast<int>(MatrixType::ComplexHermitianTridiagonal), 11);
  static_assert(std::is_same_v<std::underlying_type_t<MatrixType>, std::int32_t>);
}

TEST(OrvaneExceptionType, IsARuntimeErrorWithTheMessage) {
  const OrvaneException e("abc");
  const std::runtime_error& base = e;
  EXPECT_STREQ(base.what(), "abc");
}

TEST(CheckInfo, NegativeInfoNamesTheParameter) {
  EXPECT_NO_THROW(detail::CheckInfo(0, "unused"));
  EXPECT_THROW_MSG(detail::CheckInfo(-1, "x"), OrvaneException,
                   "the 1-th parameter had an illegal value.");
  EXPECT_THROW_MSG(detail::CheckInfo(-11, "x"), OrvaneException,
                   "the 11-th parameter had an illegal value.");
}

TEST(CheckInfo, PositiveInfoFillsBothPlaceholderForms) {
  EXPECT_THROW_MSG(detail::CheckInfo(3, "{i} elements did not converge."), OrvaneException,
                   "3 elements did not converge.");
  EXPECT_THROW_MSG(detail::CheckInfo(2, "the {0}-th one"), OrvaneException, "the 2-th one");
  // A bare i is text, not a placeholder.
  EXPECT_THROW_MSG(detail::CheckInfo(7, "the i-th element"), OrvaneException, "the i-th element");
}

TEST(Validator, ChecksBothIndicesAgainstTheShape) {
  DoubleGeneralMatrix m(3, 4);
  EXPECT_NO_THROW(Validator::CheckMatrixRange(m, 2, 3));
  EXPECT_NO_THROW(Validator::CheckMatrixRange(m, 0, 0));
  EXPECT_THROW_MSG(Validator::CheckMatrixRange(m, 3, 0), OrvaneException, "(3, 0) is out of range.");
  EXPECT_THROW_MSG(Validator::CheckMatrixRange(m, -1, 0), OrvaneException, "(-1, 0) is out of range.");
  EXPECT_THROW_MSG(Validator::CheckMatrixRange(m, 0, 4), OrvaneException, "(0, 4) is out of range.");
  EXPECT_THROW_MSG(Validator::CheckMatrixRange(m, 1, -2), OrvaneException, "(1, -2) is out of range.");
  DoubleGeneralMatrix empty(0, 0);
  EXPECT_THROW_MSG(Validator::CheckMatrixRange(empty, 0, 0), OrvaneException, "(0, 0) is out of range.");
}
