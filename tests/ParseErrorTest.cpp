// The parse errors of the matrix text format: each is the standard exception
// that existing handlers catch, what() unchanged, and carries the offending
// piece and the line of the file it is on.
#include "OrvaneNet/ParseError.h"  // first: the public header stands alone

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <type_traits>

#include "TestUtil.h"
#include "core/NumberParse.h"
#include "text/MatrixFile.h"
#include "text/TextFormat.h"

using namespace OrvaneNet;

namespace {

enum class Fault { Format, Range, Imaginary };

// Calls f and checks that it throws the parse error `fault` about `piece` on
// `line`: as its standard class, with the fixed message, and as ParseErrorInfo.
template <class F>
void ExpectParseError(F&& f, Fault fault, const std::string& piece, std::size_t line) {
  try {
    f();
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error& e) {
    const char* prefix = fault == Fault::Format  ? "Input string was not in a correct format: \""
                         : fault == Fault::Range ? "Value was either too large or too small for a Double: \""
                                                 : "A complex element needs a real and an imaginary part: \"";
    EXPECT_EQ(std::string(e.what()), prefix + piece + "\"");
    const auto* info = dynamic_cast<const ParseErrorInfo*>(&e);
    ASSERT_NE(info, nullptr) << e.what();
    EXPECT_EQ(info->piece(), piece);
    EXPECT_EQ(info->line(), line);
    if (fault == Fault::Format) {
      EXPECT_TRUE(dynamic_cast<const NumberFormatError*>(&e) && dynamic_cast<const std::invalid_argument*>(&e));
    } else {
      EXPECT_TRUE(dynamic_cast<const std::out_of_range*>(&e));
      EXPECT_EQ(dynamic_cast<const NumberRangeError*>(&e) != nullptr, fault == Fault::Range);
      EXPECT_EQ(dynamic_cast<const MissingImaginaryPartError*>(&e) != nullptr, fault == Fault::Imaginary);
    }
  }
}

struct Case {
  const char* name;
  bool complex;
  std::string text;
  Fault fault;
  std::string piece;  // as quoted in what(): blanks kept
  std::size_t line;   // in the file: blank lines count
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"SemicolonUnderTheDefaultSeparator", false, "[1,2]\n\n[3,4;5]\n", Fault::Format, "4;5", 3},
    {"OverflowAfterCrLf", false, "[1,2]\r\n[3,1e999]\r\n", Fault::Range, "1e999", 2},
    {"NegativeOverflow", false, "[-1e400]", Fault::Range, "-1e400", 1},
    {"BlankBeforeThePieceKept", false, "[1]\r[2]\r\r[3, x]", Fault::Format, " x", 4},
    {"AfterAByteOrderMark", false, "\xEF\xBB\xBF[1]\n  \t\n[2e]", Fault::Format, "2e", 3},
    {"ComplexInARealFile", false, "[(1,2)]", Fault::Format, "(1", 1},
    {"NoImaginaryPart", true, "[(1,2),(3,4)]\n[(5,6),3]\n", Fault::Imaginary, " 3", 2},
    {"NoImaginaryPartAfterABlank", true, "\n[(1,2), (3)]", Fault::Imaginary, "  (3", 2},
    {"EmptyImaginaryField", true, "[(1,2)]\n[(1, 2)]", Fault::Format, "", 2},
    {"ComplexOverflow", true, "[(1,2)]\r\n\r\n[(1,-1e999)]", Fault::Range, "-1e999", 3},
};

class ParseErrorOfLoad : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orvane-parse-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::string Write(const std::string& bytes) const {
    const std::string path = m_dir + "/a.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  void ExpectLoadFails(const std::string& bytes) const {
    const Case& c = GetParam();
    const std::string path = Write(bytes);
    ExpectParseError([&] { c.complex ? (void)ComplexMatrix::Load(path) : (void)Matrix::Load(path); }, c.fault,
                     c.piece, c.line);
  }

  std::string m_dir;
};

std::string WithoutUtf8Mark(const std::string& text) {
  return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

// ASCII text after the byte-order mark of UTF-16 or UTF-32, either byte order.
std::string Widen(const std::string& text, std::size_t width, bool bigEndian) {
  std::string out = bigEndian ? std::string("\0\0\xFE\xFF", 4).substr(4 - width)
                              : std::string("\xFF\xFE\0\0", width);
  for (char ch : text) {
    std::string unit(width, '\0');
    unit[bigEndian ? width - 1 : 0] = ch;
    out += unit;
  }
  return out;
}

TEST_P(ParseErrorOfLoad, NamesThePieceAndItsLine) { ExpectLoadFails(GetParam().text); }

TEST_P(ParseErrorOfLoad, WideEncodingsNameTheSameLine) {
  const std::string text = WithoutUtf8Mark(GetParam().text);
  for (const std::size_t width : {2, 4}) {
    for (const bool bigEndian : {false, true}) {
      SCOPED_TRACE("UTF-" + std::to_string(8 * width) + (bigEndian ? "BE" : "LE"));
      ExpectLoadFails(Widen(text, width, bigEndian));
    }
  }
}

TEST_P(ParseErrorOfLoad, ParsedTextNamesTheLineToo) {
  const Case& c = GetParam();
  const std::string text = WithoutUtf8Mark(c.text);
  if (c.complex) {
    ExpectParseError([&] { detail::ParseMatrixText<Complex>(text, MatrixFormatter()); }, c.fault, c.piece, c.line);
  } else {
    ExpectParseError([&] { detail::ParseMatrixText<double>(text, MatrixFormatter()); }, c.fault, c.piece, c.line);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ParseErrorOfLoad, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Text that is not read as lines of a file: no line to name.
TEST(ParseError, OneLineOrOneNumberHasNoLine) {
  const MatrixFormatter f;
  ExpectParseError([&] { detail::ParseLine("[3,4;5]", f); }, Fault::Format, "4;5", 0);
  ExpectParseError([&] { detail::ParseComplexLine("[(5,6),3]", f); }, Fault::Imaginary, " 3", 0);
  ExpectParseError([&] { detail::ParseComplexLine("[(1,1e999)]", f); }, Fault::Range, "1e999", 0);
  ExpectParseError([] { detail::ParseNumber(" 1e309", detail::NumberConventions::Current()); }, Fault::Range,
                   " 1e309", 0);
}

// Failures that are not about a piece of text stay the plain standard errors.
TEST(ParseError, AnEmptyMarkerIsAPlainInvalidArgument) {
  MatrixFormatter f;
  f.set_LineBeginsWith("");
  try {
    detail::ParseMatrixText<double>("\n[1]", f);
    ADD_FAILURE() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(std::string(e.what()), "The formatter's LineBeginsWith must not be empty for parsing.");
    EXPECT_EQ(dynamic_cast<const ParseErrorInfo*>(&e), nullptr);
  }
}

// Copying an exception must not throw (it may happen while one is in flight).
TEST(ParseError, CopiesShareThePieceWithoutAllocating) {
  static_assert(std::is_nothrow_copy_constructible_v<NumberFormatError>);
  static_assert(std::is_nothrow_copy_constructible_v<NumberRangeError>);
  static_assert(std::is_nothrow_copy_constructible_v<MissingImaginaryPartError>);
  const NumberRangeError original("message", "1e999", 7);
  const NumberRangeError copy = original;
  EXPECT_EQ(&copy.piece(), &original.piece());
  EXPECT_EQ(copy.line(), 7u);
  EXPECT_STREQ(copy.what(), "message");
}

}  // namespace
