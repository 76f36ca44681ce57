#pragma once

#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "OrvaneNet/Layout.h"
#include "OrvaneNet/MatrixFormatter.h"
#include "OrvaneNet/MatrixType.h"

namespace OrvaneNet {

class IDoubleMatrix;
namespace detail {
struct HandleAccess;
}

/// A real matrix of one of the six real kinds, owned alone by this handle.
/// Move-only. Element indices are zero-based and checked on every access
/// ("(i, j) is out of range." as OrvaneException). A handle that was disposed
/// or moved from raises OrvaneException on any use but destruction.
class Matrix {
 public:
  /// Reads and writes one element through the checked indexer.
  class ElementRef {
   public:
    /// Reads the element now (get_Item).
    operator double() const { return m_owner.get_Item(m_i, m_j); }
    /// Writes value through set_Item, with its checks; clears IsFactorized.
    ElementRef& operator=(double value) {
      m_owner.set_Item(m_i, m_j, value);
      return *this;
    }
    /// Copies the value of another element, not the reference.
    ElementRef& operator=(const ElementRef& other) { return *this = static_cast<double>(other); }

   private:
    friend class Matrix;
    ElementRef(Matrix& owner, int i, int j) : m_owner(owner), m_i(i), m_j(j) {}
    Matrix& m_owner;
    int m_i, m_j;
  };

  /// 0 x 0, dense general.
  Matrix();
  /// Dense general, all zeros. Negative counts raise OrvaneException.
  Matrix(int rownum, int colnum);
  /// DoubleGeneral, DoubleGeneralTridiagonal, DoubleSymmetric or
  /// DoubleSymmetricTridiagonal; any other type raises "Not yet implemented.".
  Matrix(int rownum, int colnum, MatrixType type);
  /// bandWidth 3: general tridiagonal; other odd widths: general band with
  /// (bandWidth - 1) / 2 sub- and superdiagonals; even widths raise
  /// "Please specify both super and sub diagonals.".
  Matrix(int rownum, int colnum, int bandWidth);
  /// General band with subnum sub- and supernum superdiagonals.
  Matrix(int rownum, int colnum, int subnum, int supernum);
  /// DoubleSymmetricBand or DoubleGeneralBand; any other type raises
  /// "Not yet implemented.".
  Matrix(int rownum, int colnum, MatrixType type, int subnum, int supernum);
  /// Dense general, row by row: `Matrix a{{4, -2}, {-2, 4}};`. Rows of
  /// unequal length raise OrvaneException before anything is allocated;
  /// `{}` gives 0 x 0 (the default constructor).
  Matrix(std::initializer_list<std::initializer_list<double>> rows);

  /// Takes over other's kind and storage; other can then only be destroyed
  /// or assigned to.
  Matrix(Matrix&& other) noexcept;
  /// Releases this matrix's storage and takes over other's.
  Matrix& operator=(Matrix&& other) noexcept;
  /// Not copyable: use Clone().
  Matrix(const Matrix&) = delete;
  /// Not copyable: use Clone().
  Matrix& operator=(const Matrix&) = delete;
  /// Releases the storage.
  ~Matrix();
  /// Releases the storage now; later uses raise, a second call does nothing.
  void Dispose();

  /// Element (i, j), zero-based; for a factorized matrix the stored factor.
  /// Structured kinds return 0 outside their pattern and the mirror
  /// (conjugated for Hermitian kinds) below the diagonal. Throws
  /// OrvaneException "(i, j) is out of range." for a bad index.
  double get_Item(int i, int j) const;
  /// Clears IsFactorized. On a factorized matrix this changes one entry of
  /// the stored factors, not of the matrix that was factorized (keep a
  /// Clone() of that). Structured kinds refuse (or ignore) values outside
  /// their pattern as their kind prescribes.
  void set_Item(int i, int j, double value);
  /// get_Item(i, j).
  double operator()(int i, int j) const { return get_Item(i, j); }
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
  Matrix& Inv();
  /// Deep copy of the same kind and state, factors included. Clone before a
  /// factorization to keep the matrix itself.
  Matrix Clone() const;

  /// One line per row in format's text form, each ended by CR LF.
  std::string ToString(const MatrixFormatter& format) const;
  /// ToString with a default formatter printing numDigit decimals (0 or
  /// less: the general form of up to 15 significant digits).
  std::string ToString(int numDigit) const;
  /// One line per row, "[1.0000,-0.5000]" and CR LF.
  std::string ToString() const;

  /// Writes the text of ToString(format) and one more CR LF. The existing
  /// file is replaced only once the whole text is written; failures raise
  /// std::system_error naming the path.
  static void Save(const Matrix& mat, const MatrixFormatter& format, const std::string& outfile);
  /// Save with a default formatter printing numDigit decimals.
  static void Save(const Matrix& mat, int numDigit, const std::string& outfile);
  /// Save with a default formatter (4 decimals).
  static void Save(const Matrix& mat, const std::string& outfile);
  /// A new dense general matrix from a text file: one row per non-blank line,
  /// as many columns as the longest row, short rows padded with zeros.
  /// Raises std::system_error (file), std::invalid_argument (malformed
  /// number) or std::out_of_range (number out of range).
  static Matrix Load(const std::string& loadFile, const MatrixFormatter& format);
  /// Load with a default formatter.
  static Matrix Load(const std::string& loadFile);
  /// Row rownum of mat as a new 1 x ColNum dense matrix; throws the index
  /// message for a bad row.
  static Matrix RowVector(const Matrix& mat, int rownum);
  /// Column colnum of mat as a new RowNum x 1 dense matrix; throws the
  /// index message for a bad column.
  static Matrix ColVector(const Matrix& mat, int colnum);

  /// A new rownum x colnum dense general matrix holding values, read in the
  /// layout given. values.size() must equal rownum * colnum, and the counts
  /// must not be negative (OrvaneException otherwise, nothing allocated).
  static Matrix FromValues(int rownum, int colnum, std::span<const double> values, Layout layout);
  /// Writes every element at once from values (RowNum * ColNum of them, in
  /// the layout given), for a matrix of any kind. The whole input is checked
  /// before anything is written; on any fault OrvaneException is raised and
  /// the matrix is unchanged, elements and IsFactorized alike:
  ///  - a wrong number of values;
  ///  - band and tridiagonal general kinds: a nonzero outside the pattern
  ///    (the kind's own message, for the first in row-major order);
  ///  - symmetric kinds: a pair a(i, j), a(j, i) differing by more than
  ///    100 eps max|a| (eps = 2^-52, max|a| the largest magnitude among the
  ///    finite values; a NaN or infinity must be matched exactly), and for
  ///    the band and tridiagonal ones a nonzero outside the band; the message
  ///    names the first offending element in row-major order.
  /// A symmetric kind keeps the upper triangle. Afterwards IsFactorized is
  /// false. Unlike set_Item, which ignores some writes outside a pattern,
  /// a bulk write that would drop data is refused.
  void SetValues(std::span<const double> values, Layout layout);
  /// Every element at once, in the layout given, exactly as get_Item reads
  /// it (a factorized matrix gives its stored factors). out.size() must equal
  /// RowNum * ColNum (OrvaneException otherwise).
  void GetValues(std::span<double> out, Layout layout) const;
  /// GetValues into a new vector.
  std::vector<double> ToVector(Layout layout) const;

  /// A new dense general ColNum x RowNum matrix, element (j, i) = m(i, j).
  static Matrix Transpose(const Matrix& m);

 private:
  friend struct detail::HandleAccess;
  explicit Matrix(std::unique_ptr<IDoubleMatrix> kind) noexcept;
  IDoubleMatrix& GetInternalMatrix() const;

  std::unique_ptr<IDoubleMatrix> m_mat;
};

/// Dense general product; raises "Column size of left matrix must be equal to
/// row size of right matrix." when the shapes do not fit.
Matrix operator*(const Matrix& lhs, const Matrix& rhs);
/// Dense general matrix of rhs(i, j) * lhs, every element written out.
Matrix operator*(double lhs, const Matrix& rhs);

/// Element-wise arithmetic on matrices of any kinds, read as get_Item reads
/// them; the result is a new dense general matrix whose element (i, j) is
/// exactly the IEEE result of the one operation on the elements (i, j)
/// (lhs(i, j) + rhs(i, j) and so on). Shapes that differ raise
/// OrvaneException.
Matrix operator+(const Matrix& lhs, const Matrix& rhs);
/// lhs(i, j) - rhs(i, j).
Matrix operator-(const Matrix& lhs, const Matrix& rhs);
/// -m(i, j).
Matrix operator-(const Matrix& m);
/// lhs(i, j) * rhs.
Matrix operator*(const Matrix& lhs, double rhs);
/// lhs(i, j) / rhs.
Matrix operator/(const Matrix& lhs, double rhs);
/// Writes ToString().
std::ostream& operator<<(std::ostream& os, const Matrix& mat);

}  // namespace OrvaneNet
