#include "OrvaneNet/ComplexMatrix.h"

#include <ostream>

#include "handles/HandleCommon.h"
#include "text/TextFormat.h"
#include "simd/Product.h"
#include "kinds/complex/ComplexGeneralBandMatrix.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/complex/ComplexGeneralTridiagonalMatrix.h"
#include "kinds/complex/ComplexHermitianBandMatrix.h"
#include "kinds/complex/ComplexHermitianMatrix.h"
#include "kinds/complex/ComplexHermitianTridiagonalMatrix.h"

namespace OrvaneNet {
namespace detail {

struct ComplexHandleTraits {
  using Handle = ComplexMatrix;
  using Interface = IComplexMatrix;
  using Element = Complex;
  using Storage = lapack::doublecomplex;
  using General = ComplexGeneralMatrix;
  using GeneralBand = ComplexGeneralBandMatrix;
  using GeneralTridiagonal = ComplexGeneralTridiagonalMatrix;
  using Symmetric = ComplexHermitianMatrix;
  using SymmetricBand = ComplexHermitianBandMatrix;
  using SymmetricTridiagonal = ComplexHermitianTridiagonalMatrix;
  static void Multiply(int m, int n, int k, const Storage* a, const Storage* b, Storage* c) {
    MultiplyComplex(m, n, k, a, b, c);
  }
};

}  // namespace detail

using Traits = detail::ComplexHandleTraits;

ComplexMatrix::ComplexMatrix() : ComplexMatrix(0, 0) {}
ComplexMatrix::ComplexMatrix(int rownum, int colnum)
    : m_mat(std::make_unique<ComplexGeneralMatrix>(rownum, colnum)) {}
ComplexMatrix::ComplexMatrix(int rownum, int colnum, MatrixType type)
    : m_mat(detail::MakeKind<Traits>(rownum, colnum, type)) {}
ComplexMatrix::ComplexMatrix(int rownum, int colnum, int bandWidth)
    : m_mat(detail::MakeKindByWidth<Traits>(rownum, colnum, bandWidth)) {}
ComplexMatrix::ComplexMatrix(int rownum, int colnum, int subnum, int supernum)
    : m_mat(std::make_unique<ComplexGeneralBandMatrix>(rownum, colnum, subnum, supernum)) {}
ComplexMatrix::ComplexMatrix(int rownum, int colnum, MatrixType type, int subnum, int supernum)
    : m_mat(detail::MakeBandKind<Traits>(rownum, colnum, type, subnum, supernum)) {}
ComplexMatrix::ComplexMatrix(std::unique_ptr<IComplexMatrix> kind) noexcept : m_mat(std::move(kind)) {}
ComplexMatrix::ComplexMatrix(std::initializer_list<std::initializer_list<Complex>> rows)
    : ComplexMatrix(detail::FromRows<Traits>(rows)) {}

ComplexMatrix::ComplexMatrix(ComplexMatrix&& other) noexcept = default;
ComplexMatrix& ComplexMatrix::operator=(ComplexMatrix&& other) noexcept = default;
ComplexMatrix::~ComplexMatrix() = default;

void ComplexMatrix::Dispose() {
  if (m_mat) {
    m_mat->Dispose();
    m_mat.reset();
  }
}

IComplexMatrix& ComplexMatrix::GetInternalMatrix() const {
  if (!m_mat) throw OrvaneException(msg::HandleDisposed);
  return *m_mat;
}

Complex ComplexMatrix::get_Item(int i, int j) const {
  const auto& kind = GetInternalMatrix();
  Validator::CheckMatrixRange(kind, i, j);
  return kind.get_Item(i, j);
}

void ComplexMatrix::set_Item(int i, int j, Complex value) {
  auto& kind = GetInternalMatrix();
  Validator::CheckMatrixRange(kind, i, j);
  kind.set_Item(i, j, value);
}

MatrixType ComplexMatrix::get_Type() const { return GetInternalMatrix().get_Type(); }
int ComplexMatrix::get_RowNum() const { return GetInternalMatrix().get_RowNum(); }
int ComplexMatrix::get_ColNum() const { return GetInternalMatrix().get_ColNum(); }
bool ComplexMatrix::get_IsFactorized() const { return GetInternalMatrix().get_IsFactorized(); }

ComplexMatrix& ComplexMatrix::Inv() {
  detail::InvertKind(GetInternalMatrix());
  return *this;
}

ComplexMatrix ComplexMatrix::Clone() const { return ComplexMatrix(GetInternalMatrix().Clone()); }

ComplexMatrix ComplexMatrix::RowVector(const ComplexMatrix& mat, int rownum) {
  return detail::RowVector<Traits>(mat, rownum);
}
ComplexMatrix ComplexMatrix::ColVector(const ComplexMatrix& mat, int colnum) {
  return detail::ColVector<Traits>(mat, colnum);
}

std::string ComplexMatrix::ToString(const MatrixFormatter& format) const {
  return detail::FormatString(GetInternalMatrix(), format);
}
std::string ComplexMatrix::ToString(int numDigit) const {
  return ToString(detail::FormatterWithDigits(numDigit));
}
std::string ComplexMatrix::ToString() const { return ToString(MatrixFormatter()); }

void ComplexMatrix::Save(const ComplexMatrix& mat, const MatrixFormatter& format, const std::string& outfile) {
  detail::SaveMatrixFile(outfile, mat.GetInternalMatrix(), format);
}
void ComplexMatrix::Save(const ComplexMatrix& mat, int numDigit, const std::string& outfile) {
  Save(mat, detail::FormatterWithDigits(numDigit), outfile);
}
void ComplexMatrix::Save(const ComplexMatrix& mat, const std::string& outfile) {
  Save(mat, MatrixFormatter(), outfile);
}

ComplexMatrix ComplexMatrix::Load(const std::string& loadFile, const MatrixFormatter& format) {
  return detail::LoadHandle<Traits>(loadFile, format);
}
ComplexMatrix ComplexMatrix::Load(const std::string& loadFile) { return Load(loadFile, MatrixFormatter()); }

std::ostream& operator<<(std::ostream& os, const ComplexMatrix& mat) { return os << mat.ToString(); }

ComplexMatrix operator*(const ComplexMatrix& lhs, const ComplexMatrix& rhs) {
  return detail::Product<Traits>(lhs, rhs);
}

// The scalar is the left operand of each Complex product.
ComplexMatrix operator*(Complex lhs, const ComplexMatrix& rhs) {
  const auto s = lhs.ToStdComplex();
  return detail::MapElements<Traits>(rhs, [s](lapack::doublecomplex v) { return s * v; });
}

// The real scalar takes part as (lhs, 0) in a full complex product, not as a
// scaling of the two parts (they differ for infinite and NaN parts).
ComplexMatrix operator*(double lhs, const ComplexMatrix& rhs) { return Complex(lhs, 0.0) * rhs; }

// ---- Data in and out, element-wise arithmetic ----
// Each element operation is the one Complex's operators perform (they
// forward to std::complex<double>, a double d taking part as (d, 0)).

ComplexMatrix ComplexMatrix::FromValues(int rownum, int colnum, std::span<const Complex> values,
                                        Layout layout) {
  return detail::FromValues<Traits>(rownum, colnum, values, layout);
}
ComplexMatrix ComplexMatrix::FromValues(int rownum, int colnum,
                                        std::span<const std::complex<double>> values, Layout layout) {
  return detail::FromValues<Traits>(rownum, colnum, values, layout);
}
void ComplexMatrix::SetValues(std::span<const Complex> values, Layout layout) {
  GetInternalMatrix().SetValues(values, layout);
}
void ComplexMatrix::SetValues(std::span<const std::complex<double>> values, Layout layout) {
  GetInternalMatrix().SetValues(values, layout);
}
void ComplexMatrix::GetValues(std::span<Complex> out, Layout layout) const {
  GetInternalMatrix().GetValues(out, layout);
}
void ComplexMatrix::GetValues(std::span<std::complex<double>> out, Layout layout) const {
  GetInternalMatrix().GetValues(out, layout);
}
std::vector<Complex> ComplexMatrix::ToVector(Layout layout) const {
  return detail::ToVector<Complex>(*this, layout);
}
ComplexMatrix ComplexMatrix::Transpose(const ComplexMatrix& m) {
  return detail::Transposed<Traits>(m);
}
ComplexMatrix ComplexMatrix::ConjugateTranspose(const ComplexMatrix& m) {
  ComplexMatrix result = detail::Transposed<Traits>(m);
  lapack::doublecomplex* v = detail::ResultValues<Traits>(result);
  const std::size_t count = detail::ElementCount(detail::HandleAccess::Kind(result));
  for (std::size_t k = 0; k < count; ++k) v[k] = std::conj(v[k]);
  return result;
}

using Value = lapack::doublecomplex;

ComplexMatrix operator+(const ComplexMatrix& lhs, const ComplexMatrix& rhs) {
  return detail::Combine<Traits>(lhs, rhs, [](Value a, Value b) { return a + b; });
}
ComplexMatrix operator-(const ComplexMatrix& lhs, const ComplexMatrix& rhs) {
  return detail::Combine<Traits>(lhs, rhs, [](Value a, Value b) { return a - b; });
}
ComplexMatrix operator-(const ComplexMatrix& m) {
  return detail::MapElements<Traits>(m, [](Value v) { return -v; });
}
ComplexMatrix operator*(const ComplexMatrix& lhs, Complex rhs) {
  const Value s = rhs.ToStdComplex();
  return detail::MapElements<Traits>(lhs, [s](Value v) { return v * s; });
}
ComplexMatrix operator*(const ComplexMatrix& lhs, double rhs) { return lhs * Complex(rhs, 0.0); }
ComplexMatrix operator/(const ComplexMatrix& lhs, Complex rhs) {
  const Value s = rhs.ToStdComplex();
  return detail::MapElements<Traits>(lhs, [s](Value v) { return v / s; });
}
ComplexMatrix operator/(const ComplexMatrix& lhs, double rhs) { return lhs / Complex(rhs, 0.0); }

}  // namespace OrvaneNet
