// How a fuzz input becomes a formatter and a file: the first bytes choose the
// seven settings, the rest is the file's content. Shared by the fuzz targets
// and by tests/FuzzRegressionTest.cpp, which replays fuzz/corpus and
// fuzz/regressions in every build configuration.
//
// One selector byte per string setting, in the order LineBeginsWith,
// LineEndsWith, ElementSeparatedBy, ComplexBeginsWith, ComplexEndsWith,
// ComplexValueSepratedBy:
//   0xC0..0xFF  keep the default;
//   0x80..0xBF  a string from kSpecial (empty, brackets, blanks, digits,
//               signs, multi-character strings, number words);
//   0x00..0x7F  the next (byte % 5) bytes of the input, raw.
// Then one byte, taken as a signed char, for NumberOfDigit. Missing bytes
// keep the defaults.
#pragma once

#include <OrvaneNet/Complex.h>
#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>
#include <OrvaneNet/MatrixFormatter.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace orvane_fuzz {

inline constexpr std::string_view kSpecial[] = {
    "",   "[",  "]",  ",",  ", ", "(",  ")",  " ",  ";",   "\t",  "0",        "1",
    "9",  "-",  "+",  ".",  "e",  "E",  "--", "[[", "]]",  "()",  "\r\n",     "\n",
    "N",  "a",  "1e", ",,", "[,", "x",  "-1", "+-", "e-",  "NaN", "Infinity", "\xEF\xBB\xBF",
    "\0", "\r", "00", ".,", " ,", "2.5"};

struct Input {
  OrvaneNet::MatrixFormatter formatter;
  std::string_view text;
};

inline Input Decode(const std::uint8_t* data, std::size_t size) {
  Input in;
  std::size_t k = 0;
  auto next = [&](std::string& setting) {
    if (k >= size) return;
    const std::uint8_t b = data[k++];
    if (b >= 0xC0) return;
    if (b >= 0x80) {
      setting = std::string(kSpecial[(b - 0x80u) % std::size(kSpecial)]);
      return;
    }
    const std::size_t n = std::min<std::size_t>(b % 5u, size - k);
    setting.assign(reinterpret_cast<const char*>(data + k), n);
    k += n;
  };
  std::string s[6] = {in.formatter.get_LineBeginsWith(),  in.formatter.get_LineEndsWith(),
                      in.formatter.get_ElementSeparatedBy(), in.formatter.get_ComplexBeginsWith(),
                      in.formatter.get_ComplexEndsWith(), in.formatter.get_ComplexValueSepratedBy()};
  for (auto& setting : s) next(setting);
  in.formatter.set_LineBeginsWith(s[0]);
  in.formatter.set_LineEndsWith(s[1]);
  in.formatter.set_ElementSeparatedBy(s[2]);
  in.formatter.set_ComplexBeginsWith(s[3]);
  in.formatter.set_ComplexEndsWith(s[4]);
  in.formatter.set_ComplexValueSepratedBy(s[5]);
  if (k < size) in.formatter.set_NumberOfDigit(static_cast<std::int8_t>(data[k++]));
  in.text = std::string_view(reinterpret_cast<const char*>(data + k), size - k);
  return in;
}

// A file of this process that holds the text under test; Load reads a path.
class ScratchFile {
 public:
  explicit ScratchFile(const char* tag) {
    const char* dir = std::getenv("TMPDIR");
    m_path = std::string(dir && *dir ? dir : "/tmp") + "/orvane-fuzz-" + tag + "-" +
             std::to_string(::getpid());
  }
  ~ScratchFile() { std::remove(m_path.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& Write(std::string_view text) {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) std::abort();
    return m_path;
  }

 private:
  std::string m_path;
};

// Loads the text as the handle H with the decoded formatter and checks what
// Load promises; parse errors are the expected std::invalid_argument and
// std::out_of_range. Any other exception, or a broken promise, aborts, which
// the fuzzer reports as a crash.
template <class H>
void LoadOne(ScratchFile& file, const std::uint8_t* data, std::size_t size) {
  const Input in = Decode(data, size);
  const std::string& path = file.Write(in.text);
  try {
    const H m = H::Load(path, in.formatter);
    const auto general = std::is_same_v<H, OrvaneNet::Matrix> ? OrvaneNet::MatrixType::DoubleGeneral
                                                             : OrvaneNet::MatrixType::ComplexGeneral;
    if (m.get_Type() != general || m.get_RowNum() < 0 || m.get_ColNum() < 0) std::abort();
    // Every non-blank line is a row, so there are no more rows than lines.
    if (static_cast<std::size_t>(m.get_RowNum()) > in.text.size()) std::abort();
    if (m.get_RowNum() == 0 && m.get_ColNum() != 0) std::abort();
    // Print it back with the same settings (kept small: the text grows with
    // the number of digits).
    if (static_cast<long long>(m.get_RowNum()) * m.get_ColNum() <= 4096) {
      const std::string text = m.ToString(in.formatter);
      if (m.get_RowNum() > 0 && text.empty()) std::abort();
    }
  } catch (const std::invalid_argument&) {
  } catch (const std::out_of_range&) {
  }
}

}  // namespace orvane_fuzz
