#include "text/TextFormat.h"

#include <array>
#include <stdexcept>

#include "OrvaneNet/ParseError.h"
#include "core/Messages.h"
#include "core/NumberParse.h"

namespace OrvaneNet::detail {
namespace {

constexpr std::string_view kLineTerminator = "\r\n";

// Prints doubles by the rule RoundTrip and NumberOfDigit select, with the
// locale read once.
class NumberWriter {
 public:
  explicit NumberWriter(const MatrixFormatter& f)
      : m_digits(f.get_NumberOfDigit()),
        m_roundTrip(f.get_RoundTrip()),
        m_conv(NumberConventions::Current()) {}
  void operator()(std::string& out, double x) const {
    if (m_roundTrip) {
      AppendShortest(out, x, m_conv);
    } else if (m_digits > 0) {
      AppendFixed(out, x, m_digits, m_conv);
    } else {
      AppendGeneral(out, x, m_conv);
    }
  }

 private:
  int m_digits;
  bool m_roundTrip;
  NumberConventions m_conv;
};

void AppendElement(std::string& out, double x, const MatrixFormatter&, const NumberWriter& w) {
  w(out, x);
}

void AppendElement(std::string& out, Complex x, const MatrixFormatter& f, const NumberWriter& w) {
  out += f.get_ComplexBeginsWith();
  w(out, x.get_Real());
  out += f.get_ComplexValueSepratedBy();
  w(out, x.get_Imag());
  out += f.get_ComplexEndsWith();
}

template <class Mat>
void AppendRow(std::string& out, const Mat& mat, int i, const MatrixFormatter& f,
               const NumberWriter& w) {
  out += f.get_LineBeginsWith();
  const int n = mat.get_ColNum();
  for (int j = 0; j < n; ++j) {
    if (j > 0) out += f.get_ElementSeparatedBy();
    AppendElement(out, mat.get_Item(i, j), f, w);
  }
  out += f.get_LineEndsWith();
}

template <class Mat>
std::string FormatRow(const Mat& mat, const MatrixFormatter& f, int rowIndex) {
  if (rowIndex < 0 || rowIndex >= mat.get_RowNum()) throw std::out_of_range(msg::RowIndexOutOfRange);
  std::string out;
  AppendRow(out, mat, rowIndex, f, NumberWriter(f));
  return out;
}

template <class Mat>
std::string FormatAll(const Mat& mat, const MatrixFormatter& f) {
  const int m = mat.get_RowNum();
  std::string out;
  if (m == 0) return out;
  const NumberWriter w(f);
  AppendRow(out, mat, 0, f, w);
  out += kLineTerminator;
  // The first row sizes the whole text; the slack covers rows with more
  // signs or longer numbers and the extra terminator Save appends.
  const std::size_t estimate = out.size() * static_cast<std::size_t>(m);
  out.reserve(estimate + estimate / 16 + 64);
  for (int i = 1; i < m; ++i) {
    AppendRow(out, mat, i, f, w);
    out += kLineTerminator;
  }
  return out;
}

// src with every occurrence of `what` (non-empty), found left to right without
// overlap, replaced by `with`; written to out.
void ReplaceAll(std::string_view src, std::string_view what, std::string_view with,
                std::string& out) {
  out.clear();
  std::size_t pos = 0;
  for (std::size_t hit; (hit = src.find(what, pos)) != std::string_view::npos;
       pos = hit + what.size()) {
    out.append(src, pos, hit - pos);
    out.append(with);
  }
  out.append(src.substr(pos));
}

void RequireSetting(const std::string& value, const char* name) {
  if (value.empty()) {
    throw std::invalid_argument(std::string(msg::EmptySettingPrefix) + name +
                                msg::EmptySettingSuffix);
  }
}

// Each character of `chars` is a delimiter; an empty set means white space.
class Delimiters {
 public:
  explicit Delimiters(std::string_view chars) {
    if (chars.empty()) {
      for (char c : std::string_view(" \t\n\v\f\r")) m_table[static_cast<unsigned char>(c)] = true;
    }
    for (char c : chars) m_table[static_cast<unsigned char>(c)] = true;
  }
  // Calls f with every piece between delimiters, empty ones included.
  template <class F>
  void Split(std::string_view s, F&& f) const {
    std::size_t start = 0;
    for (std::size_t k = 0; k < s.size(); ++k) {
      if (m_table[static_cast<unsigned char>(s[k])]) {
        f(s.substr(start, k - start));
        start = k + 1;
      }
    }
    f(s.substr(start));
  }

 private:
  std::array<bool, 256> m_table{};
};

}  // namespace

std::string FormatStringByLine(const IDoubleMatrix& mat, const MatrixFormatter& formatter,
                               int rowIndex) {
  return FormatRow(mat, formatter, rowIndex);
}
std::string FormatStringByLine(const IComplexMatrix& mat, const MatrixFormatter& formatter,
                               int rowIndex) {
  return FormatRow(mat, formatter, rowIndex);
}
std::string FormatString(const IDoubleMatrix& mat, const MatrixFormatter& formatter) {
  return FormatAll(mat, formatter);
}
std::string FormatString(const IComplexMatrix& mat, const MatrixFormatter& formatter) {
  return FormatAll(mat, formatter);
}

template <class T>
LineParser<T>::LineParser(const MatrixFormatter& formatter)
    : m_formatter(formatter), m_conv(NumberConventions::Current()) {}

template <>
void LineParser<double>::Parse(std::string_view line, std::vector<double>& out,
                               std::size_t lineNumber) {
  const MatrixFormatter& f = m_formatter;
  RequireSetting(f.get_LineBeginsWith(), "LineBeginsWith");
  RequireSetting(f.get_LineEndsWith(), "LineEndsWith");
  ReplaceAll(line, f.get_LineBeginsWith(), {}, m_a);
  ReplaceAll(m_a, f.get_LineEndsWith(), {}, m_b);
  Delimiters(f.get_ElementSeparatedBy()).Split(m_b, [&](std::string_view piece) {
    if (!TrimWhiteSpace(piece).empty()) out.push_back(ParseNumber(piece, m_conv, lineNumber));
  });
}

template <>
void LineParser<Complex>::Parse(std::string_view line, std::vector<Complex>& out,
                                std::size_t lineNumber) {
  const MatrixFormatter& f = m_formatter;
  RequireSetting(f.get_LineBeginsWith(), "LineBeginsWith");
  RequireSetting(f.get_LineEndsWith(), "LineEndsWith");
  RequireSetting(f.get_ElementSeparatedBy(), "ElementSeparatedBy");
  RequireSetting(f.get_ComplexBeginsWith(), "ComplexBeginsWith");
  RequireSetting(f.get_ComplexValueSepratedBy(), "ComplexValueSepratedBy");
  ReplaceAll(line, f.get_LineBeginsWith(), {}, m_a);
  ReplaceAll(m_a, f.get_LineEndsWith(), {}, m_b);
  ReplaceAll(m_b, f.get_ElementSeparatedBy(), " ", m_a);
  Delimiters(f.get_ComplexEndsWith()).Split(m_a, [&](std::string_view piece) {
    if (TrimWhiteSpace(piece).empty()) return;
    ReplaceAll(piece, f.get_ComplexBeginsWith(), {}, m_c);
    ReplaceAll(m_c, f.get_ComplexValueSepratedBy(), " ", m_d);
    const std::string_view t = TrimWhiteSpace(m_d);
    const std::size_t blank = t.find(' ');
    const double re = ParseNumber(t.substr(0, blank), m_conv, lineNumber);
    if (blank == std::string_view::npos) {
      ThrowParseError<MissingImaginaryPartError>(msg::ComplexWithoutImaginary, piece, lineNumber);
    }
    const std::string_view rest = t.substr(blank + 1);
    const double im = ParseNumber(rest.substr(0, rest.find(' ')), m_conv, lineNumber);
    out.emplace_back(re, im);
  });
}

template class LineParser<double>;
template class LineParser<Complex>;

std::vector<double> ParseLine(std::string_view line, const MatrixFormatter& formatter) {
  std::vector<double> out;
  LineParser<double>(formatter).Parse(line, out);
  return out;
}

std::vector<Complex> ParseComplexLine(std::string_view line, const MatrixFormatter& formatter) {
  std::vector<Complex> out;
  LineParser<Complex>(formatter).Parse(line, out);
  return out;
}

}  // namespace OrvaneNet::detail
