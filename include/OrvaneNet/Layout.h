#pragma once

namespace OrvaneNet {

/// How a flat array holds the elements of a rows x cols matrix, for
/// FromValues, SetValues, GetValues and ToVector.
///
///   RowMajor     element (i, j) at index i * cols + j: row after row, as a
///                C array `double a[rows][cols]`, NumPy's default or a
///                nested initializer list read in order;
///   ColumnMajor  element (i, j) at index i + j * rows: column after column,
///                as Fortran, LAPACK, Eigen's and Armadillo's default.
///
/// The library's own storage is column-major (dense kinds) or LAPACK's band,
/// packed or diagonal layout; either choice copies straight from or into it.
enum class Layout { RowMajor, ColumnMajor };

}  // namespace OrvaneNet
