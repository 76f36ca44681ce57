#include "MatrixIo.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>
#include <system_error>

namespace orvane {
namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string ReplaceAll(std::string_view s, const std::string& what, std::string_view with) {
  if (what.empty()) return std::string(s);
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = s.find(what, pos)) != std::string_view::npos; pos = hit + what.size()) {
    out.append(s.substr(pos, hit - pos));
    out.append(with);
  }
  out.append(s.substr(pos));
  return out;
}

// Pieces between the characters of delimiters (white space when empty).
std::vector<std::string> Split(std::string_view s, const std::string& delimiters) {
  const std::string_view set = delimiters.empty() ? std::string_view(" \t\n\v\f\r") : delimiters;
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t k = 0; k <= s.size(); ++k) {
    if (k == s.size() || set.find(s[k]) != std::string_view::npos) {
      out.emplace_back(s.substr(start, k - start));
      start = k + 1;
    }
  }
  return out;
}

// Every text the library's line parser hands to its number parser (and, for
// complex lines, every element piece), trimmed.
std::vector<std::string> CandidatePieces(std::string_view line, const MatrixFormatter& f, bool complex) {
  std::string rest = ReplaceAll(ReplaceAll(line, f.get_LineBeginsWith(), ""), f.get_LineEndsWith(), "");
  std::vector<std::string> out;
  if (!complex) {
    for (const std::string& piece : Split(rest, f.get_ElementSeparatedBy())) out.emplace_back(Trim(piece));
    return out;
  }
  rest = ReplaceAll(rest, f.get_ElementSeparatedBy(), " ");
  for (const std::string& piece : Split(rest, f.get_ComplexEndsWith())) {
    if (Trim(piece).empty()) continue;
    out.emplace_back(Trim(piece));
    const std::string fields = std::string(Trim(
        ReplaceAll(ReplaceAll(piece, f.get_ComplexBeginsWith(), ""), f.get_ComplexValueSepratedBy(), " ")));
    const std::size_t blank = fields.find(' ');
    out.emplace_back(fields.substr(0, blank));
    if (blank != std::string::npos) {
      const std::string second = fields.substr(blank + 1);
      out.emplace_back(second.substr(0, second.find(' ')));
    }
  }
  return out;
}

// The text between the first and the last double quote of a message.
std::string QuotedPart(const std::string& message) {
  const std::size_t first = message.find('"');
  const std::size_t last = message.rfind('"');
  if (first == std::string::npos || last <= first) return {};
  return message.substr(first + 1, last - first - 1);
}

std::string AtLine(int line) { return line > 0 ? " at line " + std::to_string(line) : std::string(); }

bool StartsWith(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

std::string Show(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}
std::string Show(Complex v) {
  // Appended piece by piece: "(" + std::string&& trips GCC 12's -Wrestrict at -O3.
  std::string out(1, '(');
  out += Show(v.get_Real());
  out += ',';
  out += Show(v.get_Imag());
  out += ')';
  return out;
}

int LocateBadPiece(const std::string& path, const MatrixFormatter& format, bool complex,
                   const std::string& piece) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  const std::string_view wanted = Trim(piece);
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t k = start;
    while (k < text.size() && text[k] != '\n' && text[k] != '\r') ++k;
    ++number;
    const std::string_view line = std::string_view(text).substr(start, k - start);
    if (!Trim(line).empty()) {
      for (const std::string& candidate : CandidatePieces(line, format, complex)) {
        if (candidate == wanted) return number;
      }
    }
    if (k + 1 < text.size() && text[k] == '\r' && text[k + 1] == '\n') ++k;
    start = k + 1;
  }
  return 0;
}

bool HoldsComplexElements(const std::string& path, const MatrixFormatter& format) {
  const std::string& marker = format.get_ComplexBeginsWith();
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (marker.empty() || line.find(marker) != std::string::npos) return true;
  }
  return false;
}

template <class Mat>
Mat LoadMatrix(const std::string& path, const MatrixFormatter& format) {
  constexpr bool complex = std::is_same_v<Mat, ComplexMatrix>;
  Mat m;
  // The complex parser would read "[1,2,3]" as the one element (1,2).
  if (complex && std::ifstream(path) && !HoldsComplexElements(path, format)) {
    BadInput(path + ": holds no complex element such as " + format.get_ComplexBeginsWith() + "1" +
             format.get_ComplexValueSepratedBy() + "-2" + format.get_ComplexEndsWith() +
             "; real matrices need no --complex");
  }
  try {
    m = Mat::Load(path, format);
  } catch (const std::system_error& e) {
    BadInput(path + ": cannot read the file: " + e.code().message());
  } catch (const std::invalid_argument& e) {
    const std::string piece(Trim(QuotedPart(e.what())));
    if (piece.empty() && !StartsWith(e.what(), "Input string")) BadInput(path + ": " + e.what());
    const bool looksComplex = !complex && !format.get_ComplexBeginsWith().empty() &&
                              piece.find(format.get_ComplexBeginsWith()) != std::string::npos;
    BadInput(path + ": malformed number \"" + piece + "\"" + AtLine(LocateBadPiece(path, format, complex, piece)) +
             (looksComplex ? " (complex elements need --complex)" : ""));
  } catch (const std::out_of_range& e) {
    const std::string piece(Trim(QuotedPart(e.what())));
    if (piece.empty()) BadInput(path + ": " + e.what());
    const std::string what = StartsWith(e.what(), "A complex element")
                                 ? "complex element without an imaginary part \""
                                 : "number out of range \"";
    BadInput(path + ": " + what + piece + "\"" + AtLine(LocateBadPiece(path, format, complex, piece)));
  }
  if (m.get_RowNum() == 0 || m.get_ColNum() == 0) {
    BadInput(path + ": holds no matrix (" + ShapeText(m) + ")");
  }
  for (int i = 0; i < m.get_RowNum(); ++i) {
    for (int j = 0; j < m.get_ColNum(); ++j) {
      if (!IsFinite(m.get_Item(i, j))) {
        BadInput(path + ": element (" + std::to_string(i) + ", " + std::to_string(j) + ") is " +
                 Show(m.get_Item(i, j)) + "; only finite numbers are accepted");
      }
    }
  }
  return m;
}

template <class Mat>
std::vector<ElementOf<Mat>> VectorOf(const Mat& m, const std::string& path) {
  if (m.get_RowNum() != 1 && m.get_ColNum() != 1) {
    BadInput(path + ": wrong shape: " + ShapeText(m) + ", one row or one column is needed");
  }
  std::vector<ElementOf<Mat>> out;
  for (int i = 0; i < m.get_RowNum(); ++i) {
    for (int j = 0; j < m.get_ColNum(); ++j) out.push_back(m.get_Item(i, j));
  }
  return out;
}

template <class Mat>
void SaveMatrix(const Mat& mat, const MatrixFormatter& format, const std::string& path) {
  try {
    Mat::Save(mat, format, path);
  } catch (const std::system_error& e) {
    BadInput(path + ": cannot write the file: " + e.code().message());
  }
}

template <class Mat>
void Emit(const Mat& mat, const Options& options, const MatrixFormatter& format) {
  if (const auto out = options.Value("--output")) {
    SaveMatrix(mat, format, *out);
  } else {
    std::cout << mat.ToString(format);
  }
}

template Matrix LoadMatrix(const std::string&, const MatrixFormatter&);
template ComplexMatrix LoadMatrix(const std::string&, const MatrixFormatter&);
template std::vector<double> VectorOf(const Matrix&, const std::string&);
template std::vector<Complex> VectorOf(const ComplexMatrix&, const std::string&);
template void SaveMatrix(const Matrix&, const MatrixFormatter&, const std::string&);
template void SaveMatrix(const ComplexMatrix&, const MatrixFormatter&, const std::string&);
template void Emit(const Matrix&, const Options&, const MatrixFormatter&);
template void Emit(const ComplexMatrix&, const Options&, const MatrixFormatter&);

}  // namespace orvane
