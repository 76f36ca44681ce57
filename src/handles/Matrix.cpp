#include "OrvaneNet/Matrix.h"

#include <ostream>

#include "handles/HandleCommon.h"
#include "text/TextFormat.h"
#include "simd/Product.h"
#include "kinds/real/DoubleGeneralBandMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"
#include "kinds/real/DoubleGeneralTridiagonalMatrix.h"
#include "kinds/real/DoubleSymmetricBandMatrix.h"
#include "kinds/real/DoubleSymmetricMatrix.h"
#include "kinds/real/DoubleSymmetricTridiagonalMatrix.h"

namespace OrvaneNet {
namespace detail {

struct RealHandleTraits {
  using Handle = Matrix;
  using Interface = IDoubleMatrix;
  using Element = double;
  using Storage = double;
  using General = DoubleGeneralMatrix;
  using GeneralBand = DoubleGeneralBandMatrix;
  using GeneralTridiagonal = DoubleGeneralTridiagonalMatrix;
  using Symmetric = DoubleSymmetricMatrix;
  using SymmetricBand = DoubleSymmetricBandMatrix;
  using SymmetricTridiagonal = DoubleSymmetricTridiagonalMatrix;
  static void Multiply(int m, int n, int k, const double* a, const double* b, double* c) {
    MultiplyReal(m, n, k, a, b, c);
  }
};

}  // namespace detail

using Traits = detail::RealHandleTraits;

Matrix::Matrix() : Matrix(0, 0) {}
Matrix::Matrix(int rownum, int colnum)
    : m_mat(std::make_unique<DoubleGeneralMatrix>(rownum, colnum)) {}
Matrix::Matrix(int rownum, int colnum, MatrixType type)
    : m_mat(detail::MakeKind<Traits>(rownum, colnum, type)) {}
Matrix::Matrix(int rownum, int colnum, int bandWidth)
    : m_mat(detail::MakeKindByWidth<Traits>(rownum, colnum, bandWidth)) {}
Matrix::Matrix(int rownum, int colnum, int subnum, int supernum)
    : m_mat(std::make_unique<DoubleGeneralBandMatrix>(rownum, colnum, subnum, supernum)) {}
Matrix::Matrix(int rownum, int colnum, MatrixType type, int subnum, int supernum)
    : m_mat(detail::MakeBandKind<Traits>(rownum, colnum, type, subnum, supernum)) {}
Matrix::Matrix(std::unique_ptr<IDoubleMatrix> kind) noexcept : m_mat(std::move(kind)) {}
Matrix::Matrix(std::initializer_list<std::initializer_list<double>> rows)
    : Matrix(detail::FromRows<Traits>(rows)) {}

Matrix::Matrix(Matrix&& other) noexcept = default;
Matrix& Matrix::operator=(Matrix&& other) noexcept = default;
Matrix::~Matrix() = default;

void Matrix::Dispose() {
  if (m_mat) {
    m_mat->Dispose();
    m_mat.reset();
  }
}

IDoubleMatrix& Matrix::GetInternalMatrix() const {
  if (!m_mat) throw OrvaneException(msg::HandleDisposed);
  return *m_mat;
}

double Matrix::get_Item(int i, int j) const {
  const auto& kind = GetInternalMatrix();
  Validator::CheckMatrixRange(kind, i, j);
  return kind.get_Item(i, j);
}

void Matrix::set_Item(int i, int j, double value) {
  auto& kind = GetInternalMatrix();
  Validator::CheckMatrixRange(kind, i, j);
  kind.set_Item(i, j, value);
}

MatrixType Matrix::get_Type() const { return GetInternalMatrix().get_Type(); }
int Matrix::get_RowNum() const { return GetInternalMatrix().get_RowNum(); }
int Matrix::get_ColNum() const { return GetInternalMatrix().get_ColNum(); }
bool Matrix::get_IsFactorized() const { return GetInternalMatrix().get_IsFactorized(); }

Matrix& Matrix::Inv() {
  detail::InvertKind(GetInternalMatrix());
  return *this;
}

Matrix Matrix::Clone() const { return Matrix(GetInternalMatrix().Clone()); }

Matrix Matrix::RowVector(const Matrix& mat, int rownum) {
  return detail::RowVector<Traits>(mat, rownum);
}
Matrix Matrix::ColVector(const Matrix& mat, int colnum) {
  return detail::ColVector<Traits>(mat, colnum);
}

std::string Matrix::ToString(const MatrixFormatter& format) const {
  return detail::FormatString(GetInternalMatrix(), format);
}
std::string Matrix::ToString(int numDigit) const {
  return ToString(detail::FormatterWithDigits(numDigit));
}
std::string Matrix::ToString() const { return ToString(MatrixFormatter()); }

void Matrix::Save(const Matrix& mat, const MatrixFormatter& format, const std::string& outfile) {
  detail::SaveMatrixFile(outfile, mat.GetInternalMatrix(), format);
}
void Matrix::Save(const Matrix& mat, int numDigit, const std::string& outfile) {
  Save(mat, detail::FormatterWithDigits(numDigit), outfile);
}
void Matrix::Save(const Matrix& mat, const std::string& outfile) {
  Save(mat, MatrixFormatter(), outfile);
}

Matrix Matrix::Load(const std::string& loadFile, const MatrixFormatter& format) {
  return detail::LoadHandle<Traits>(loadFile, format);
}
Matrix Matrix::Load(const std::string& loadFile) { return Load(loadFile, MatrixFormatter()); }

std::ostream& operator<<(std::ostream& os, const Matrix& mat) { return os << mat.ToString(); }

Matrix operator*(const Matrix& lhs, const Matrix& rhs) {
  return detail::Product<Traits>(lhs, rhs);
}

Matrix operator*(double lhs, const Matrix& rhs) {
  return detail::MapElements<Traits>(rhs, [lhs](double v) { return v * lhs; });
}

// ---- Data in and out, element-wise arithmetic ----

Matrix Matrix::FromValues(int rownum, int colnum, std::span<const double> values, Layout layout) {
  return detail::FromValues<Traits>(rownum, colnum, values, layout);
}
void Matrix::SetValues(std::span<const double> values, Layout layout) {
  GetInternalMatrix().SetValues(values, layout);
}
void Matrix::GetValues(std::span<double> out, Layout layout) const {
  GetInternalMatrix().GetValues(out, layout);
}
std::vector<double> Matrix::ToVector(Layout layout) const {
  return detail::ToVector<double>(*this, layout);
}
Matrix Matrix::Transpose(const Matrix& m) { return detail::Transposed<Traits>(m); }

Matrix operator+(const Matrix& lhs, const Matrix& rhs) {
  return detail::Combine<Traits>(lhs, rhs, [](double a, double b) { return a + b; });
}
Matrix operator-(const Matrix& lhs, const Matrix& rhs) {
  return detail::Combine<Traits>(lhs, rhs, [](double a, double b) { return a - b; });
}
Matrix operator-(const Matrix& m) {
  return detail::MapElements<Traits>(m, [](double v) { return -v; });
}
Matrix operator*(const Matrix& lhs, double rhs) {
  return detail::MapElements<Traits>(lhs, [rhs](double v) { return v * rhs; });
}
Matrix operator/(const Matrix& lhs, double rhs) {
  return detail::MapElements<Traits>(lhs, [rhs](double v) { return v / rhs; });
}

}  // namespace OrvaneNet
