// Reading and writing matrix text files for the orvane tool, with every
// failure turned into one line that names the file.
#pragma once

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/ParseError.h>

#include <cmath>
#include <string>
#include <vector>

#include "Cli.h"

namespace orvane {

using OrvaneNet::Complex;
using OrvaneNet::ComplexMatrix;
using OrvaneNet::Matrix;
using OrvaneNet::MatrixFormatter;

// The element type of a handle.
template <class Mat>
using ElementOf = decltype(std::declval<const Mat&>().get_Item(0, 0));

inline bool IsFinite(double v) { return std::isfinite(v); }
inline bool IsFinite(Complex v) { return std::isfinite(v.get_Real()) && std::isfinite(v.get_Imag()); }
inline double Conjugate(double v) { return v; }
inline Complex Conjugate(Complex v) { return Complex::Conj(v); }
// Shortest exact text of a value, for error lines: 0.1, (1,-2).
std::string Show(double v);
std::string Show(Complex v);

// Loads path (Matrix::Load / ComplexMatrix::Load). A missing file, a
// malformed number, a number out of range, a complex element without
// imaginary part (each with the line the library's error names), an empty
// matrix and a non-finite element are bad input.
template <class Mat>
Mat LoadMatrix(const std::string& path, const MatrixFormatter& format);

// Whether path holds the format's ComplexBeginsWith marker anywhere.
bool HoldsComplexElements(const std::string& path, const MatrixFormatter& format);

// "R x C" for messages.
template <class Mat>
std::string ShapeText(const Mat& m) {
  return std::to_string(m.get_RowNum()) + " x " + std::to_string(m.get_ColNum());
}

// Fails (numerical failure) when any element is NaN or infinite.
template <class Mat>
bool AllFinite(const Mat& m) {
  for (int j = 0; j < m.get_ColNum(); ++j) {
    for (int i = 0; i < m.get_RowNum(); ++i) {
      if (!IsFinite(m.get_Item(i, j))) return false;
    }
  }
  return true;
}

// The elements of a matrix of one row or one column, in order; anything else
// is a wrong shape.
template <class Mat>
std::vector<ElementOf<Mat>> VectorOf(const Mat& m, const std::string& path);

// Writes mat: to the file of --output with Save, else to standard output.
template <class Mat>
void Emit(const Mat& mat, const Options& options, const MatrixFormatter& format);
// Saves mat to path; a file that cannot be written is bad input.
template <class Mat>
void SaveMatrix(const Mat& mat, const MatrixFormatter& format, const std::string& path);

}  // namespace orvane
