#include "MatrixIo.h"

#include <charconv>
#include <fstream>
#include <iostream>
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

// The piece of a parse error as the tool quotes it, and where the file holds it.
std::string Quoted(const OrvaneNet::ParseErrorInfo& e) {
  std::string out = "\"" + std::string(Trim(e.piece())) + "\"";
  if (e.line() > 0) out += " at line " + std::to_string(e.line());
  return out;
}

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
  } catch (const OrvaneNet::NumberFormatError& e) {
    const std::string& marker = format.get_ComplexBeginsWith();
    const bool looksComplex =
        !complex && !marker.empty() && Trim(e.piece()).find(marker) != std::string_view::npos;
    BadInput(path + ": malformed number " + Quoted(e) +
             (looksComplex ? " (complex elements need --complex)" : ""));
  } catch (const OrvaneNet::NumberRangeError& e) {
    BadInput(path + ": number out of range " + Quoted(e));
  } catch (const OrvaneNet::MissingImaginaryPartError& e) {
    BadInput(path + ": complex element without an imaginary part " + Quoted(e));
  } catch (const std::invalid_argument& e) {  // an empty marker the parser must remove
    BadInput(path + ": " + e.what());
  } catch (const std::out_of_range& e) {  // more rows or columns than a matrix can hold
    BadInput(path + ": " + e.what());
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
