#pragma once

#include <complex>
#include <concepts>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/Layout.h"
#include "OrvaneNet/MatrixFormatter.h"
#include "OrvaneNet/MatrixType.h"

namespace OrvaneNet {

class IComplexMatrix;
namespace detail {
struct HandleAccess;
}

/// A complex matrix of one of the six complex kinds, owned alone by this handle.
/// Move-only. Element indices are zero-based and checked on every access
/// ("(i, j) is out of range." as OrvaneException). A handle that was disposed
/// or moved from raises OrvaneException on any use but destruction.
class ComplexMatrix {
 public:
  /// Reads and writes one element through the checked indexer.
  class ElementRef {
   public:
    /// Reads the element now (get_Item).
    operator Complex() const { return m_owner.get_Item(m_i, m_j); }
    /// The parts of the element read now (a copy: there is no setter here).
    double get_Real() const { return static_cast<Complex>(*this).get_Real(); }
    /// The imaginary part of the element read now.
    double get_Imag() const { return static_cast<Complex>(*this).get_Imag(); }
    /// Writes value through set_Item, with its checks; clears IsFactorized.
    ElementRef& operator=(Complex value) {
      m_owner.set_Item(m_i, m_j, value);
      return *this;
    }
    /// Writes value + 0i: `m(0, 0) = 4.0;`.
    ElementRef& operator=(double value) { return *this = Complex(value, 0.0); }
    /// Writes a std::complex<double>. (A template, so that a braced pair
    /// `m(0, 0) = {1, 2}` still means the Complex (1, 2).)
    template <class C>
      requires std::same_as<C, std::complex<double>>
    ElementRef& operator=(const C& value) {
      return *this = Complex(value);
    }
    /// Copies the value of another element, not the reference.
    ElementRef& operator=(const ElementRef& other) { return *this = static_cast<Complex>(other); }

   private:
    friend class ComplexMatrix;
    ElementRef(ComplexMatrix& owner, int i, int j) : m_owner(owner), m_i(i), m_j(j) {}
    ComplexMatrix& m_owner;
    int m_i, m_j;
  };

  /// 0 x 0, dense general.
  ComplexMatrix();
  /// Dense general, all zeros. Negative counts raise OrvaneException.
  ComplexMatrix(int rownum, int colnum);
  /// ComplexGeneral, ComplexGeneralTridiagonal, ComplexHermitian or
  /// ComplexHermitianTridiagonal; any other type raises "Not yet implemented.".
  ComplexMatrix(int rownum, int colnum, MatrixType type);
  /// bandWidth 3: general tridiagonal; other odd widths: general band with
  /// (bandWidth - 1) / 2 sub- and superdiagonals; even widths raise
  /// "Please specify both super and sub diagonals.".
  ComplexMatrix(int rownum, int colnum, int bandWidth);
  /// General band with subnum sub- and supernum superdiagonals.
  ComplexMatrix(int rownum, int colnum, int subnum, int supernum);
  /// ComplexHermitianBand or ComplexGeneralBand; any other type raises
  /// "Not yet implemented.".
  ComplexMatrix(int rownum, int colnum, MatrixType type, int subnum, int supernum);
  /// Dense general, row by row: `ComplexMatrix c{{Complex(1, 2), Complex(0, 1)}};`.
  /// Rows of unequal length raise OrvaneException before anything is
  /// allocated; `{}` gives 0 x 0 (the default constructor).
  ComplexMatrix(std::initializer_list<std::initializer_list<Complex>> rows);

  /// Takes over other's kind and storage; other can then only be destroyed
  /// or assigned to.
  ComplexMatrix(ComplexMatrix&& other) noexcept;
  /// Releases this matrix's storage and takes over other's.
  ComplexMatrix& operator=(ComplexMatrix&& other) noexcept;
  /// Not copyable: use Clone().
  ComplexMatrix(const ComplexMatrix&) = delete;
  /// Not copyable: use Clone().
  ComplexMatrix& operator=(const ComplexMatrix&) = delete;
  /// Releases the storage.
  ~ComplexMatrix();
  /// Releases the storage now; later uses raise, a second call does nothing.
  void Dispose();

  /// Element (i, j), zero-based; for a factorized matrix the stored factor.
  /// Structured kinds return 0 outside their pattern and the mirror
  /// (conjugated for Hermitian kinds) below the diagonal. Throws
  /// OrvaneException "(i, j) is out of range." for a bad index.
  Complex get_Item(int i, int j) const;
  /// Clears IsFactorized. On a factorized matrix this changes one entry of
  /// the stored factors, not of the matrix that was factorized (keep a
  /// Clone() of that). Structured kinds refuse (or ignore) values outside
  /// their pattern as their kind prescribes; the Hermitian kinds refuse a
  /// diagonal value with an imaginary part (OrvaneException, nothing stored).
  void set_Item(int i, int j, Complex value);
  /// get_Item(i, j).
  Complex operator()(int i, int j) const { return get_Item(i, j); }
  /// A proxy that reads with get_Item and assigns with set_Item:
  /// `m(0, 1) = v;`.
  ElementRef operator()(int i, int j) { return ElementRef(*this, i, j); }

  /// The kind chosen at construction.
  MatrixType get_Type() const;
  /// Number of rows.
  int get_RowNum() const;
  /// Number of columns.
  int get_ColNum() const;
  /// Whether the storage holds factors (element reads then return factors),
  /// or after Inv() the inverse.
  bool get_IsFactorized() const;

  /// Inverts in place (factorizing first unless already factorized) and
  /// returns this same handle; the storage then holds the inverse as a plain
  /// matrix. A non-square matrix is refused first ("The matrix must be
  /// square for this operation."), unchanged. Band and tridiagonal kinds
  /// raise their messages after the storage has been factorized.
  ComplexMatrix& Inv();
  /// Deep copy of the same kind and state, factors included. Clone before a
  /// factorization to keep the matrix itself.
  ComplexMatrix Clone() const;

  /// One line per row in format's text form, each ended by CR LF.
  std::string ToString(const MatrixFormatter& format) const;
  /// ToString with a default formatter printing numDigit decimals (0 or
  /// less: the general form of up to 15 significant digits).
  std::string ToString(int numDigit) const;
  /// One line per row, "[(1.0000,-2.0000),(0.5000,0.0000)]" and CR LF.
  std::string ToString() const;

  /// Writes the text of ToString(format) and one more CR LF. The existing
  /// file is replaced only once the whole text is written; failures raise
  /// std::system_error naming the path.
  static void Save(const ComplexMatrix& mat, const MatrixFormatter& format, const std::string& outfile);
  /// Save with a default formatter printing numDigit decimals.
  static void Save(const ComplexMatrix& mat, int numDigit, const std::string& outfile);
  /// Save with a default formatter (4 decimals).
  static void Save(const ComplexMatrix& mat, const std::string& outfile);
  /// A new dense general matrix from a text file: one row per non-blank line,
  /// as many columns as the longest row, short rows padded with zeros.
  /// Raises std::system_error (file), std::invalid_argument (malformed
  /// number) or std::out_of_range (number out of range).
  static ComplexMatrix Load(const std::string& loadFile, const MatrixFormatter& format);
  /// Load with a default formatter.
  static ComplexMatrix Load(const std::string& loadFile);
  /// Row rownum of mat as a new 1 x ColNum dense matrix; throws the index
  /// message for a bad row.
  static ComplexMatrix RowVector(const ComplexMatrix& mat, int rownum);
  /// Column colnum of mat as a new RowNum x 1 dense matrix; throws the
  /// index message for a bad column.
  static ComplexMatrix ColVector(const ComplexMatrix& mat, int colnum);

  /// A new rownum x colnum dense general matrix holding values, read in the
  /// layout given. values.size() must equal rownum * colnum, and the counts
  /// must not be negative (OrvaneException otherwise, nothing allocated).
  static ComplexMatrix FromValues(int rownum, int colnum, std::span<const Complex> values,
                                  Layout layout);
  /// The same from std::complex<double> values.
  static ComplexMatrix FromValues(int rownum, int colnum,
                                  std::span<const std::complex<double>> values, Layout layout);
  /// Writes every element at once, as Matrix::SetValues. For the Hermitian
  /// kinds a(j, i) must equal conj(a(i, j)) to within 100 eps max|a| (the
  /// magnitude of the difference) and each diagonal imaginary part must be
  /// that small; the kind keeps the upper triangle and the real part of the
  /// diagonal. On any fault OrvaneException, and the matrix is unchanged.
  void SetValues(std::span<const Complex> values, Layout layout);
  /// The same from std::complex<double> values.
  void SetValues(std::span<const std::complex<double>> values, Layout layout);
  /// Every element at once, exactly as get_Item reads it (factors when
  /// factorized); out.size() must equal RowNum * ColNum (OrvaneException).
  void GetValues(std::span<Complex> out, Layout layout) const;
  /// The same into std::complex<double> elements.
  void GetValues(std::span<std::complex<double>> out, Layout layout) const;
  /// GetValues into a new vector.
  std::vector<Complex> ToVector(Layout layout) const;

  /// A new dense general ColNum x RowNum matrix, element (j, i) = m(i, j).
  static ComplexMatrix Transpose(const ComplexMatrix& m);
  /// The same with every element conjugated: element (j, i) = conj(m(i, j)).
  static ComplexMatrix ConjugateTranspose(const ComplexMatrix& m);

 private:
  friend struct detail::HandleAccess;
  explicit ComplexMatrix(std::unique_ptr<IComplexMatrix> kind) noexcept;
  IComplexMatrix& GetInternalMatrix() const;

  std::unique_ptr<IComplexMatrix> m_mat;
};

/// Dense general product; raises "Column size of left matrix must be equal to
/// row size of right matrix." when the shapes do not fit.
ComplexMatrix operator*(const ComplexMatrix& lhs, const ComplexMatrix& rhs);
/// Dense general matrix of lhs * rhs(i, j) (Complex products, scalar left).
ComplexMatrix operator*(Complex lhs, const ComplexMatrix& rhs);
/// The same with the scalar taken as the complex value (lhs, 0).
ComplexMatrix operator*(double lhs, const ComplexMatrix& rhs);

/// Element-wise arithmetic on matrices of any kinds, read as get_Item reads
/// them; the result is a new dense general matrix whose element (i, j) is
/// exactly what the Complex operator gives for the elements (i, j)
/// (lhs(i, j) + rhs(i, j) and so on; a double d takes part as (d, 0), as in
/// Complex's own operators). Shapes that differ raise OrvaneException.
ComplexMatrix operator+(const ComplexMatrix& lhs, const ComplexMatrix& rhs);
/// lhs(i, j) - rhs(i, j).
ComplexMatrix operator-(const ComplexMatrix& lhs, const ComplexMatrix& rhs);
/// (-re, -im) of every element.
ComplexMatrix operator-(const ComplexMatrix& m);
/// lhs(i, j) * rhs.
ComplexMatrix operator*(const ComplexMatrix& lhs, Complex rhs);
/// lhs(i, j) * (rhs, 0).
ComplexMatrix operator*(const ComplexMatrix& lhs, double rhs);
/// lhs(i, j) / rhs.
ComplexMatrix operator/(const ComplexMatrix& lhs, Complex rhs);
/// lhs(i, j) / (rhs, 0).
ComplexMatrix operator/(const ComplexMatrix& lhs, double rhs);
/// Writes ToString().
std::ostream& operator<<(std::ostream& os, const ComplexMatrix& mat);

}  // namespace OrvaneNet
