// Every fixed message the library throws, each written once. "{0}" and "{i}"
// stand for LAPACK's info (see core/LapackStatus.h); the spelling of each text
// is part of the interface and must not be corrected.
#pragma once

namespace OrvaneNet::msg {

// LAPACK status
inline constexpr const char* IllegalParameter = "the {0}-th parameter had an illegal value.";
inline constexpr const char* SingularD =
    "The factorization has been completed, but D is exactly singular. Division by 0 will occur if "
    "you use D for solving a system of linear equations.";
inline constexpr const char* SingularDNoSolution =
    "The factorization has been completed, but D is exactly singular, so the solution could not be "
    "computed.";
inline constexpr const char* CholeskyInversion =
    "the i-th diagonal element of the Cholesky factor (and therefore the factor itself) is zero, "
    "and the inversion could not be completed.";
inline constexpr const char* EigenNoConvergence =
    "{i} elements of an intermediate tridiagonal form did not converge to zero.";
inline constexpr const char* GeneralizedEigenNoConvergence =
    "off-diagonal elements of an intermediate tridiagonal did not converge to zero";
inline constexpr const char* SvdNoConvergence = "bidiagonal form B did not converge to zero.";
inline constexpr const char* LeastSquareRank =
    "the {0}-th diagonal element of the triangular factor of A is zero, so that A does not have "
    "full rank; the least squares solution could not be computed.";
inline constexpr const char* SymmetricTridiagonalNotPositiveDefinite =
    "This matrix is not positive definite. Symmetric tridiagonal indefinite matrix is not "
    "supported by LAPACK. Please use Matrix::DoubleSymmetrix.";
inline constexpr const char* HermitianTridiagonalNotPositiveDefinite =
    "This matrix is not positive definite. Hermitian tridiagonal indefinite matrix is not "
    "supported by LAPACK. Please use Matrix::ComplexHermitian.";
inline constexpr const char* HermitianBandNotPositiveDefinite =
    "This matrix is not positive definite. Hermitian band indefinite matrix is not supported by "
    "LAPACK. Please use Matrix::ComplexHermitian.";

// Shapes and structure
inline constexpr const char* SymmetricNotSquare =
    "Number of rows and columns must be equal for symmetric matrix.";
inline constexpr const char* NotTridiagonalElement =
    "The specified element doesn't fit to tridiagonal matrix.";
inline constexpr const char* HermitianComplexDiagonal =
    "A diagonal element of a Hermitian matrix must be real.";
inline constexpr const char* HermitianTridiagonalComplexDiagonal =
    "Hermitian tridiagonal indefinite matrix is not supported by LAPACK. Please use "
    "Matrix::ComplexHermitian.";
inline constexpr const char* RhsNotGeneral = "Matrix b must be general matrix.";
// The band kinds' out-of-band message is "Value " + value + "doesn't fit to (" i ", " j ")".
inline constexpr const char* BandValuePrefix = "Value ";
inline constexpr const char* BandValueMiddle = "doesn't fit to (";
inline constexpr const char* IndexSeparator = ", ";
inline constexpr const char* BandValueSuffix = ")";
inline constexpr const char* RangeSuffix = ") is out of range.";

// Unsupported operations
inline constexpr const char* TridiagonalInversion =
    "Inversion of tridiagonal matrix is not supported by LAPACK.";
inline constexpr const char* ComplexTridiagonalInversion =
    "Inversion for gengeral tridiagonal matrix is not supported by lapack.";
inline constexpr const char* BandInversion = "Inversion of banded matrix is not supported by LAPACK.";
inline constexpr const char* ComplexBandInversion =
    "Inversion for gengeral band matrix is not supported by lapack.";
inline constexpr const char* ZptsvUnsupported =
    "The routine for solving linear equation (zptsv) may not work. Please factorize first then "
    "solve.";

// Handles
inline constexpr const char* NotYetImplemented = "Not yet implemented.";
inline constexpr const char* BandWidthEven = "Please specify both super and sub diagonals.";
inline constexpr const char* ProductShape =
    "Column size of left matrix must be equal to row size of right matrix.";
inline constexpr const char* HandleDisposed =
    "This matrix has been disposed or moved from and can no longer be used.";

// Procedures
inline constexpr const char* SolveNotSquare = "Matrix size m != n is not supported.";
inline constexpr const char* OnlyDoubleGeneral = "Only double general matrix is supported.";
inline constexpr const char* OnlyDoubleSymmetric =
    "Only double symmetric matrix is supported for this method.";
inline constexpr const char* OnlyComplexHermitian =
    "Only complex hermitian matrix is supported for this method.";
inline constexpr const char* OnlyGeneral = "Only general matrix is supported.";

// The library's own checks where LAPACK would otherwise run outside an array.
inline constexpr const char* NegativeDimension = "Matrix dimensions must not be negative.";
inline constexpr const char* NegativeBandCount =
    "Numbers of sub- and superdiagonals must not be negative.";
inline constexpr const char* NotSquare = "The matrix must be square for this operation.";
inline constexpr const char* GeneralNotSquare =
    "Number of rows and columns must be equal for general band and tridiagonal matrices.";
inline constexpr const char* ResultAliasesInput =
    "A result matrix must be a different object from the input matrices.";
inline constexpr const char* FitNegativeDimension = "The dimension of the fit must not be negative.";
inline constexpr const char* FitTooFewPoints =
    "The fit needs at least dimension + 1 points and as many y values as x values.";
inline constexpr const char* NullCoefficients = "The coefficient array must not be null.";
inline constexpr const char* SingularInversion =
    "The matrix is exactly singular (the {0}-th diagonal element of U is zero), so its inverse "
    "could not be computed.";

}  // namespace OrvaneNet::msg

// Band kinds: a band whose LAPACK leading dimension would not fit a 32-bit integer.
namespace OrvaneNet::msg {
inline constexpr const char* BandTooWide =
    "Numbers of sub- and superdiagonals are too large for LAPACK's band storage.";
}  // namespace OrvaneNet::msg

// Text format: parsing and matrix text files.
namespace OrvaneNet::msg {
inline constexpr const char* MalformedNumber = "Input string was not in a correct format: \"";
inline constexpr const char* NumberOutOfRange = "Value was either too large or too small for a Double: \"";
inline constexpr const char* QuotedTextEnd = "\"";
inline constexpr const char* ComplexWithoutImaginary =
    "A complex element needs a real and an imaginary part: \"";
inline constexpr const char* EmptySettingPrefix = "The formatter's ";
inline constexpr const char* EmptySettingSuffix = " must not be empty for parsing.";
inline constexpr const char* RowIndexOutOfRange = "Row index is out of range.";
inline constexpr const char* TooManyRows = "The matrix text has more rows or columns than a matrix can hold.";
inline constexpr const char* CannotCreateFile = "Cannot create the file '";
inline constexpr const char* CannotWriteFile = "Cannot write the file '";
inline constexpr const char* CannotReadFile = "Cannot read the file '";
inline constexpr const char* QuotedPathEnd = "'";
}  // namespace OrvaneNet::msg

// Packed symmetric and Hermitian kinds: checks made before LAPACK is called.
namespace OrvaneNet::msg {
// LAPACK forms n(n+1) in 32-bit integers when indexing packed storage.
inline constexpr const char* PackedOrderTooLarge =
    "The order of a packed symmetric or Hermitian matrix must not exceed 46340.";
// Preceded by the name of the array or matrix ("Array values", ...).
inline constexpr const char* TooFewEigenvalueEntries = " must have room for {0} eigenvalues.";
}  // namespace OrvaneNet::msg

// Fast Fourier transform: the filled-up length must stay a 32-bit count of
// doubles (2N <= 2^30).
namespace OrvaneNet::msg {
inline constexpr const char* FftTooLong = "The FFT input must not have more than 2^29 points.";
}  // namespace OrvaneNet::msg

// Data in and out (SetValues, GetValues, FromValues, the initializer-list
// constructors) and element-wise arithmetic. Pieces around numbers and
// positions that the code fills in.
namespace OrvaneNet::msg {
// "SetValues needs 9 values for a 3 x 3 matrix, not 8."
inline constexpr const char* ValueCountNeeds = " needs ";
inline constexpr const char* ValueCountFor = " values for a ";
inline constexpr const char* ValueCountNot = " matrix, not ";
inline constexpr const char* GetValuesRoom = "GetValues needs room for ";
// "The rows of the initializer list must have equal lengths: row 0 has 3
// values, row 1 has 2."
inline constexpr const char* RaggedRows =
    "The rows of the initializer list must have equal lengths: row 0 has ";
// "The matrices must have the same shape: 2 x 3 and 3 x 2."
inline constexpr const char* ShapesDiffer = "The matrices must have the same shape: ";
// Symmetric and Hermitian input (see kinds/BulkCopy.h for the rule).
inline constexpr const char* NotSymmetric = "The values are not symmetric: element ";
inline constexpr const char* NotHermitian = "The values are not Hermitian: element ";
inline constexpr const char* SymmetricPairTolerance =
    " (a pair may differ by at most 100 eps max|a| = ";
inline constexpr const char* HermitianPairTolerance =
    " (element (j, i) must be the conjugate of element (i, j) to within 100 eps max|a| = ";
inline constexpr const char* DiagonalNotReal = "The values are not Hermitian: diagonal element ";
inline constexpr const char* DiagonalTolerance =
    " is not real (its imaginary part may be at most 100 eps max|a| = ";
inline constexpr const char* OutsideBandPrefix = "The values do not fit a ";
inline constexpr const char* OutsideBandNotZero = " is not zero.";
// The right-hand side's role in BadKindCast's message.
inline constexpr const char* RightHandSide = "The right-hand side";
}  // namespace OrvaneNet::msg

// General (non-symmetric) eigenproblem: geev's info > 0, {i} being the
// zero-based index from which the eigenvalues converged.
namespace OrvaneNet::msg {
inline constexpr const char* GeneralEigenNoConvergence =
    "The QR algorithm failed to compute all the eigenvalues; only those from index {i} on have "
    "converged, and no eigenvectors have been computed.";
}  // namespace OrvaneNet::msg

// Exact-length Fourier transform: the same bound as the FFT's.
namespace OrvaneNet::msg {
inline constexpr const char* DftTooLong = "The DFT input must not have more than 2^29 points.";
}  // namespace OrvaneNet::msg

// Norms (MatrixNorm::Compute): a factorized matrix's storage holds its
// factors, whose norm is not the matrix's.
namespace OrvaneNet::msg {
inline constexpr const char* NormOfFactors =
    "The matrix holds its factors, so its norm cannot be computed; take the norm before "
    "factorizing.";
inline constexpr const char* UnknownNormType = "Unknown norm type.";
}  // namespace OrvaneNet::msg
