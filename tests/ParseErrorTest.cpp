// The parse errors of the matrix text format: each is the standard exception
// that existing handlers catch, what() unchanged, and carries the offending
// piece and the line of the file it is on, whatever the file's encoding.
#include "OrvaneNet/ParseError.h"  // first: the public header stands alone

#include <OrvaneNet/ComplexMatrix.h>
#include <OrvaneNet/Matrix.h>

#include <type_traits>

#include "TestUtil.h"
#include "core/NumberParse.h"
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
    EXPECT_EQ(dynamic_cast<const NumberFormatError*>(&e) != nullptr, fault == Fault::Format);
    EXPECT_EQ(dynamic_cast<const NumberRangeError*>(&e) != nullptr, fault == Fault::Range);
    EXPECT_EQ(dynamic_cast<const MissingImaginaryPartError*>(&e) != nullptr, fault == Fault::Imaginary);
    EXPECT_EQ(dynamic_cast<const std::invalid_argument*>(&e) != nullptr, fault == Fault::Format);
  }
}

struct Case {
  const char* name;
  bool complex;
  std::string text;   // ASCII; Load sees it in each encoding
  Fault fault;
  std::string piece;  // as quoted in what(): blanks kept
  std::size_t line;   // in the file: blank lines count
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"SemicolonUnderTheDefaultSeparator", false, "[1,2]\n\n[3,4;5]\n", Fault::Format, "4;5", 3},
    {"OverflowAfterCrLf", false, "[1,2]\r\n[3,1e999]\r\n", Fault::Range, "1e999", 2},
    {"CrOnlyLinesAndABlankKept", false, "[1]\r[2]\r\r[3, x]", Fault::Format, " x", 4},
    // The old tool named line 1, whose (3,4) holds the field 3 too.
    {"NoImaginaryPart", true, "[(1,2),(3,4)]\n[(5,6),3]\n", Fault::Imaginary, " 3", 2},
    {"EmptyImaginaryField", true, "[(1,2)]\n  \t\n[(1, 2)]", Fault::Format, "", 3},
    {"ComplexOverflow", true, "[(1,2)]\r\n\r\n[(1,-1e999)]", Fault::Range, "-1e999", 3},
};

// The text after the byte-order mark of UTF-8, or of UTF-16 or UTF-32 in
// either byte order.
std::string Encode(const std::string& text, std::size_t width, bool bigEndian) {
  if (width == 1) return "\xEF\xBB\xBF" + text;
  std::string out = bigEndian ? std::string("\0\0\xFE\xFF", 4).substr(4 - width) : std::string("\xFF\xFE\0\0", width);
  for (char ch : text) {
    std::string unit(width, '\0');
    unit[bigEndian ? width - 1 : 0] = ch;
    out += unit;
  }
  return out;
}

class ParseErrorOfLoad : public ::testing::TestWithParam<Case> {};

TEST_P(ParseErrorOfLoad, NamesThePieceAndItsLineInEveryEncoding) {
  const Case& c = GetParam();
  const orvane_test::TempFolder folder;
  const struct {
    std::size_t width;
    bool bigEndian;
  } encodings[] = {{1, false}, {2, false}, {2, true}, {4, false}, {4, true}};
  for (const auto& [width, bigEndian] : encodings) {
    SCOPED_TRACE("UTF-" + std::to_string(8 * width) + (bigEndian ? "BE" : "LE"));
    const std::string path = folder.Write("a.txt", Encode(c.text, width, bigEndian));
    ExpectParseError([&] { c.complex ? (void)ComplexMatrix::Load(path) : (void)Matrix::Load(path); }, c.fault,
                     c.piece, c.line);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ParseErrorOfLoad, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Text that is not read as lines of a file: no line to name.
TEST(ParseError, OneLineOrOneNumberHasNoLine) {
  const MatrixFormatter f;
  ExpectParseError([&] { detail::ParseLine("[3,4;5]", f); }, Fault::Format, "4;5", 0);
  ExpectParseError([&] { detail::ParseComplexLine("[(5,6),3]", f); }, Fault::Imaginary, " 3", 0);
  ExpectParseError([] { detail::ParseNumber(" 1e309", detail::NumberConventions::Current()); }, Fault::Range,
                   " 1e309", 0);
}

// A failure that is not about a piece of text stays a plain standard error.
TEST(ParseError, AnEmptyMarkerIsAPlainInvalidArgument) {
  MatrixFormatter f;
  f.set_LineBeginsWith("");
  try {
    detail::ParseLine("[1]", f);
    ADD_FAILURE() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(std::string(e.what()), "The formatter's LineBeginsWith must not be empty for parsing.");
    EXPECT_EQ(dynamic_cast<const ParseErrorInfo*>(&e), nullptr);
  }
}

// Copying an exception must not throw: it may happen while one is in flight.
TEST(ParseError, CopiesShareThePiece) {
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
