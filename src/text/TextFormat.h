// The matrix text format: printing any real or complex kind one row per line,
// and reading one line back into numbers. The handles' ToString, Save and
// Load are built on these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/MatrixFormatter.h"
#include "core/Interfaces.h"
#include "core/NumberText.h"

namespace OrvaneNet::detail {

// One row: LineBeginsWith, the elements joined by ElementSeparatedBy,
// LineEndsWith; no line terminator. A complex element is ComplexBeginsWith re
// ComplexValueSepratedBy im ComplexEndsWith. NumberOfDigit > 0 prints the
// fixed form with that many decimals, otherwise the general form.
// Throws std::out_of_range when rowIndex is not a row of mat.
std::string FormatStringByLine(const IDoubleMatrix& mat, const MatrixFormatter& formatter,
                               int rowIndex);
std::string FormatStringByLine(const IComplexMatrix& mat, const MatrixFormatter& formatter,
                               int rowIndex);

// Every row followed by CR LF; "" for a matrix without rows.
std::string FormatString(const IDoubleMatrix& mat, const MatrixFormatter& formatter);
std::string FormatString(const IComplexMatrix& mat, const MatrixFormatter& formatter);

// The numbers of one line: every LineBeginsWith, then every LineEndsWith is
// removed wherever it occurs; the rest is split at each character of
// ElementSeparatedBy (at white space when it is empty); blank pieces are
// skipped, the others parsed by ParseNumber (core/NumberParse.h).
// Throws std::invalid_argument for an empty line marker, NumberFormatError
// for a malformed number and NumberRangeError for a number beyond the double
// range (OrvaneNet/ParseError.h, line() 0).
std::vector<double> ParseLine(std::string_view line, const MatrixFormatter& formatter);

// The complex elements of one line: the line markers are removed, each
// ElementSeparatedBy becomes a blank, the rest is split at each character of
// ComplexEndsWith (white space when empty); in each non-blank piece
// ComplexBeginsWith is removed, ComplexValueSepratedBy becomes a blank, and
// the trimmed piece is split at single blanks: field 0 is the real part,
// field 1 the imaginary part, further fields are ignored.
// Throws std::invalid_argument for an empty LineBeginsWith, LineEndsWith,
// ElementSeparatedBy, ComplexBeginsWith or ComplexValueSepratedBy;
// NumberFormatError for a malformed field, MissingImaginaryPartError for a
// piece without imaginary part, NumberRangeError for a number beyond the
// double range (line() 0).
std::vector<Complex> ParseComplexLine(std::string_view line, const MatrixFormatter& formatter);

// Parses many lines with one formatter, reading the locale once and reusing
// its buffers; T is double (ParseLine) or Complex (ParseComplexLine).
template <class T>
class LineParser {
 public:
  explicit LineParser(const MatrixFormatter& formatter);
  // Appends the elements of `line` to `out`; the errors of ParseLine /
  // ParseComplexLine, whose line() is lineNumber.
  void Parse(std::string_view line, std::vector<T>& out, std::size_t lineNumber = 0);

 private:
  const MatrixFormatter& m_formatter;
  NumberConventions m_conv;
  std::string m_a, m_b, m_c, m_d;
};

template <>
void LineParser<double>::Parse(std::string_view line, std::vector<double>& out, std::size_t lineNumber);
template <>
void LineParser<Complex>::Parse(std::string_view line, std::vector<Complex>& out,
                                std::size_t lineNumber);

}  // namespace OrvaneNet::detail
