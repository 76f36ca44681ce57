// Matrix text files: what the handles' Save and Load read and write.
//
// Save:  detail::SaveMatrixFile(outfile, *m_mat, format);
// Load:  auto text = detail::LoadMatrixFile<double>(loadFile, format);   // or <Complex>
//        then a DoubleGeneralMatrix(text.rowNum, text.colNum) (ComplexGeneral for
//        Complex) whose element (i, j) is text.values[i + j * text.rowNum].
//
// POSIX file calls are used directly so that every failure carries errno.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/MatrixFormatter.h"
#include "core/Interfaces.h"

namespace OrvaneNet::detail {

// Writes FormatString(mat, formatter) and one more CR LF to `path` as UTF-8
// without byte-order mark. The text goes to a new file in the same folder
// first, which is synced and then renamed over `path`, so a failure at any
// step (including formatting) leaves an existing file untouched and no
// temporary file behind. An existing target keeps its permission bits.
// Throws std::system_error (what() names the path) when the file cannot be
// created, written or renamed; the temporary file is created before the text
// is produced, so an impossible path fails without formatting. Saving
// through a symbolic link replaces the file the link points to.
void SaveMatrixFile(const std::string& path, const IDoubleMatrix& mat,
                    const MatrixFormatter& formatter);
void SaveMatrixFile(const std::string& path, const IComplexMatrix& mat,
                    const MatrixFormatter& formatter);

// The whole file as UTF-8: a UTF-8 byte-order mark is skipped, a UTF-16 or
// UTF-32 one (either byte order) selects that encoding and the text is
// converted. Throws std::system_error naming the path when the file does not
// exist, is a directory or cannot be read.
std::string ReadMatrixFile(const std::string& path);

// A parsed matrix text, dense and column-major like the general kinds:
// element (i, j) is values[i + j * rowNum]; rows shorter than colNum are
// completed with zeros.
template <class T>
struct MatrixText {
  int rowNum = 0;
  int colNum = 0;
  std::vector<T> values;
};

// Splits `text` into lines (ending at LF, CR or CR LF; a last line without
// terminator counts), skips the blank ones and parses the others with
// ParseLine (T = double) or ParseComplexLine (T = Complex): rowNum is the
// number of parsed lines, colNum the longest row. Throws the parsers' errors,
// whose line() is the 1-based line of `text` (blank lines counted), and
// std::out_of_range when the shape does not fit an int.
template <class T>
MatrixText<T> ParseMatrixText(std::string_view text, const MatrixFormatter& formatter);

// ParseMatrixText(ReadMatrixFile(path), formatter).
template <class T>
MatrixText<T> LoadMatrixFile(const std::string& path, const MatrixFormatter& formatter);

extern template MatrixText<double> ParseMatrixText(std::string_view, const MatrixFormatter&);
extern template MatrixText<Complex> ParseMatrixText(std::string_view, const MatrixFormatter&);
extern template MatrixText<double> LoadMatrixFile(const std::string&, const MatrixFormatter&);
extern template MatrixText<Complex> LoadMatrixFile(const std::string&, const MatrixFormatter&);

}  // namespace OrvaneNet::detail
