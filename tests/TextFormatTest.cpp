// The matrix text format: printing, the number syntax, the two line parsers,
// and matrix text files.
#include "OrvaneNet/MatrixFormatter.h"  // first: the public header stands alone

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <system_error>
#include <vector>

#include "TestUtil.h"
#include "core/NumberParse.h"
#include "handles/MatrixFile.h"
#include "handles/TextFormat.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;
using namespace OrvaneNet::detail;
namespace fs = std::filesystem;

namespace {

const double kInf = std::numeric_limits<double>::infinity();

double Parse(std::string_view text) { return ParseNumber(text, NumberConventions::Current()); }

DoubleGeneralMatrix RealRows(std::initializer_list<std::initializer_list<double>> rows) {
  return orvane_test::FromRows<DoubleGeneralMatrix>(rows);
}

template <class M>
M Random(int m, int n, unsigned seed) {
  using T = decltype(std::declval<const M&>().get_Item(0, 0));
  std::mt19937 rng(seed);
  M a(m, n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < m; ++i) a.set_Item(i, j, orvane_test::RandomValue<T>(rng) * 1000.0);
  return a;
}

MatrixFormatter WithDigits(int digits) {
  MatrixFormatter f;
  f.set_NumberOfDigit(digits);
  return f;
}

}  // namespace

// ---------------------------------------------------------------- printing

TEST(FormatString, DefaultRealAndComplex) {
  EXPECT_EQ(FormatString(RealRows({{1, 2.5}, {-3, 0}}), MatrixFormatter()),
            "[1.0000,2.5000]\r\n[-3.0000,0.0000]\r\n");
  ComplexGeneralMatrix c(1, 2);
  c.set_Item(0, 0, Complex(1, 2));
  c.set_Item(0, 1, Complex(3, -4));
  EXPECT_EQ(FormatString(c, MatrixFormatter()), "[(1.0000,2.0000),(3.0000,-4.0000)]\r\n");
}

TEST(FormatString, NumberOfDigitSelectsTheForm) {
  const auto row = RealRows({{1, 2.5}});
  EXPECT_EQ(FormatString(row, WithDigits(0)), "[1,2.5]\r\n");
  EXPECT_EQ(FormatString(row, WithDigits(-3)), "[1,2.5]\r\n");
  EXPECT_EQ(FormatString(row, WithDigits(2)), "[1.00,2.50]\r\n");
  EXPECT_EQ(FormatString(RealRows({{0.25, -0.04}}), WithDigits(1)), "[0.3,0.0]\r\n");
  EXPECT_EQ(FormatString(RealRows({{1e15, 0.00001, -kInf}}), WithDigits(0)),
            "[1E+15,1E-05,-Infinity]\r\n");
}

TEST(FormatString, CustomMarkers) {
  MatrixFormatter f;
  f.set_LineBeginsWith("<<");
  f.set_LineEndsWith(">>");
  f.set_ElementSeparatedBy(" | ");
  f.set_ComplexBeginsWith("{");
  f.set_ComplexEndsWith("}");
  f.set_ComplexValueSepratedBy("; ");
  f.set_NumberOfDigit(1);
  ComplexGeneralMatrix c(2, 2);
  c.set_Item(0, 0, Complex(1, -2));
  c.set_Item(1, 1, Complex(0.5, 7));
  EXPECT_EQ(FormatString(c, f), "<<{1.0; -2.0} | {0.0; 0.0}>>\r\n<<{0.0; 0.0} | {0.5; 7.0}>>\r\n");
  EXPECT_EQ(FormatStringByLine(c, f, 1), "<<{0.0; 0.0} | {0.5; 7.0}>>");
  f.set_LineBeginsWith("");
  f.set_LineEndsWith("");
  f.set_ElementSeparatedBy("");
  EXPECT_EQ(FormatString(RealRows({{1, 2}}), f), "1.02.0\r\n");
}

template <class M>
class FormatShapes : public ::testing::Test {};
using DenseKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix>;
TYPED_TEST_SUITE(FormatShapes, DenseKinds);

TYPED_TEST(FormatShapes, EmptyShapes) {
  EXPECT_EQ(FormatString(TypeParam(0, 3), MatrixFormatter()), "");
  EXPECT_EQ(FormatString(TypeParam(0, 0), MatrixFormatter()), "");
  EXPECT_EQ(FormatString(TypeParam(3, 0), MatrixFormatter()), "[]\r\n[]\r\n[]\r\n");
}

TYPED_TEST(FormatShapes, RowIndexIsChecked) {
  const TypeParam a(2, 2);
  EXPECT_THROW_MSG(FormatStringByLine(a, MatrixFormatter(), 2), std::out_of_range, "Row index is out of range.");
  EXPECT_THROW(FormatStringByLine(a, MatrixFormatter(), -1), std::out_of_range);
  EXPECT_THROW(FormatStringByLine(TypeParam(0, 2), MatrixFormatter(), 0), std::out_of_range);
}

// The text printed, parsed back, prints again byte for byte.
TYPED_TEST(FormatShapes, ParsedTextPrintsTheSame) {
  for (int digits : {4, 0, 7}) {
    const auto a = Random<TypeParam>(5, 3, 11);
    const MatrixFormatter f = WithDigits(digits);
    const std::string text = FormatString(a, f);
    const auto parsed = ParseMatrixText<decltype(a.get_Item(0, 0))>(text, f);
    ASSERT_EQ(parsed.rowNum, 5);
    ASSERT_EQ(parsed.colNum, 3);
    TypeParam b(5, 3);
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 5; ++i) b.set_Item(i, j, parsed.values[static_cast<std::size_t>(i + j * 5)]);
    EXPECT_EQ(FormatString(b, f), text);
    // Each part is off by at most half a unit of the last printed digit.
    EXPECT_LE(orvane_test::MaxDifference(a, b),
              1.5 * (digits > 0 ? 0.5 * std::pow(10.0, -digits) : 1e3 * 5e-15));
  }
}

// ------------------------------------------------------------ number syntax

struct GoodNumber {
  const char* text;
  double value;
  friend void PrintTo(const GoodNumber& g, std::ostream* os) { *os << '"' << g.text << '"'; }
};

class NumberSyntax : public ::testing::TestWithParam<GoodNumber> {};

TEST_P(NumberSyntax, Parses) {
  const double v = Parse(GetParam().text);
  EXPECT_EQ(v, GetParam().value) << GetParam().text;
  EXPECT_EQ(std::signbit(v), std::signbit(GetParam().value)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    TextFormat, NumberSyntax,
    ::testing::Values(GoodNumber{"1.5", 1.5}, GoodNumber{" \t1.5 \r\n", 1.5},
                      GoodNumber{"+2", 2}, GoodNumber{"-2", -2}, GoodNumber{"-0", -0.0},
                      GoodNumber{"007", 7}, GoodNumber{"1.", 1}, GoodNumber{".5", 0.5},
                      GoodNumber{"-.5", -0.5}, GoodNumber{"1e3", 1000}, GoodNumber{"1E+3", 1000},
                      GoodNumber{"2.5e-3", 0.0025}, GoodNumber{"-1.25E-02", -0.0125},
                      GoodNumber{"1e0000000000000000000000003", 1000},
                      GoodNumber{"1,234.5", 1234.5}, GoodNumber{"1,,2", 12},
                      GoodNumber{"1,", 1}, GoodNumber{"12,34,5.25", 12345.25},
                      GoodNumber{"1.7976931348623157e308", 1.7976931348623157e308},
                      GoodNumber{"4.9406564584124654e-324", 4.9406564584124654e-324},
                      GoodNumber{"1e-320", 1e-320}, GoodNumber{"1e-400", 0.0},
                      GoodNumber{"-1e-400", -0.0}, GoodNumber{"0e99999", 0.0},
                      GoodNumber{"0.000000000000000000000000000000000000000000000000001e-300", 0.0},
                      GoodNumber{"Infinity", kInf}, GoodNumber{"+Infinity", kInf},
                      GoodNumber{" -Infinity ", -kInf},
                      GoodNumber{"1000000000000000000000000000000000000000000000000000000000000000"
                                 "000000000000000000000000000000000000000",
                                 1e102}),
    [](const ::testing::TestParamInfo<GoodNumber>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(NumberSyntaxSpecial, NaN) {
  EXPECT_TRUE(std::isnan(Parse("NaN")));
  EXPECT_TRUE(std::isnan(Parse(" NaN\t")));
}

TEST(NumberSyntaxSpecial, MalformedIsInvalidArgument) {
  for (const char* text : {"", " ", "+", "-", ".", "-.", "1e", "1e+", "e5", "1;2", "1 2", "--1",
                           "+-1", ",1", "1.2.3", "1.5,0", "1e5.5", "1e,5", "0x10", "1d", "nan",
                           "NAN", "inf", "infinity", "-NaN", "+NaN", "Infinity1", "- 1", "1-",
                           "１"}) {
    EXPECT_THROW(Parse(text), std::invalid_argument) << '"' << text << '"';
  }
  EXPECT_THROW_MSG(Parse("1;2"), std::invalid_argument,
                   "Input string was not in a correct format: \"1;2\"");
}

TEST(NumberSyntaxSpecial, OverflowIsOutOfRange) {
  for (const char* text : {"1e309", "-1e309", "1.8e308", "1.7976931348623159e308",
                           "1e99999999999999999999999", "1,000e306"}) {
    EXPECT_THROW(Parse(text), std::out_of_range) << text;
  }
  EXPECT_THROW_MSG(Parse("-1e309"), std::out_of_range,
                   "Value was either too large or too small for a Double: \"-1e309\"");
}

// -------------------------------------------------------------- line parsers

TEST(ParseLine, Markers) {
  const MatrixFormatter f;
  EXPECT_EQ(ParseLine("[1.0000,2.5000]", f), (std::vector<double>{1, 2.5}));
  EXPECT_EQ(ParseLine("[1,,2]", f), (std::vector<double>{1, 2}));
  EXPECT_EQ(ParseLine("[ ]", f), std::vector<double>{});
  EXPECT_EQ(ParseLine("[]", f), std::vector<double>{});
  EXPECT_EQ(ParseLine("[1]2]", f), std::vector<double>{12});
  EXPECT_EQ(ParseLine("  [ -1 , 2e1 ]  ", f), (std::vector<double>{-1, 20}));
  EXPECT_EQ(ParseLine("[NaN,Infinity]", f).size(), 2u);
  EXPECT_THROW_MSG(ParseLine("[1;2]", f), std::invalid_argument,
                   "Input string was not in a correct format: \"1;2\"");
  EXPECT_THROW(ParseLine("[1,2e400]", f), std::out_of_range);
}

TEST(ParseLine, SeparatorCharacters) {
  MatrixFormatter f;
  f.set_ElementSeparatedBy(", ");
  EXPECT_EQ(ParseLine("[1, 2]", f), (std::vector<double>{1, 2}));
  f.set_ElementSeparatedBy("");
  EXPECT_EQ(ParseLine("[1 2 3]", f), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(ParseLine("[1\t2\v\f3]", f), (std::vector<double>{1, 2, 3}));
  f.set_ElementSeparatedBy(";|");
  EXPECT_EQ(ParseLine("[1;2|3]", f), (std::vector<double>{1, 2, 3}));
  // Multi-character markers are removed as whole strings, left to right.
  f.set_LineBeginsWith("<<");
  f.set_LineEndsWith(">>");
  EXPECT_EQ(ParseLine("<<1<<;2>>>>", f), (std::vector<double>{1, 2}));
  EXPECT_THROW(ParseLine("<<<1;2>>>", f), std::invalid_argument);  // "<1" is left
}

TEST(ParseLine, EmptyMarkersAreRejected) {
  MatrixFormatter f;
  f.set_LineBeginsWith("");
  EXPECT_THROW_MSG(ParseLine("[1]", f), std::invalid_argument,
                   "The formatter's LineBeginsWith must not be empty for parsing.");
  f = MatrixFormatter();
  f.set_LineEndsWith("");
  EXPECT_THROW_MSG(ParseLine("[1]", f), std::invalid_argument,
                   "The formatter's LineEndsWith must not be empty for parsing.");
  // The complex markers play no part for real lines.
  f = MatrixFormatter();
  f.set_ComplexBeginsWith("");
  f.set_ComplexValueSepratedBy("");
  EXPECT_EQ(ParseLine("[1]", f), std::vector<double>{1});
}

TEST(ParseComplexLine, Defaults) {
  const MatrixFormatter f;
  EXPECT_EQ(ParseComplexLine("[(1.0000,2.0000),(3.0000,-4.0000)]", f),
            (std::vector<Complex>{{1, 2}, {3, -4}}));
  EXPECT_EQ(ParseComplexLine("[(1 2 3)]", f), (std::vector<Complex>{{1, 2}}));
  EXPECT_EQ(ParseComplexLine("[(1 2 x)]", f), (std::vector<Complex>{{1, 2}}));
  EXPECT_EQ(ParseComplexLine("[]", f), std::vector<Complex>{});
  EXPECT_EQ(ParseComplexLine("[ ( 1,2 ) ]", f), (std::vector<Complex>{{1, 2}}));
  EXPECT_THROW_MSG(ParseComplexLine("[(1, 2)]", f), std::invalid_argument,
                   "Input string was not in a correct format: \"\"");
  EXPECT_THROW_MSG(ParseComplexLine("[(1)]", f), std::out_of_range,
                   "A complex element needs a real and an imaginary part: \"(1\"");
  // The real part is read before the missing imaginary part is noticed.
  EXPECT_THROW(ParseComplexLine("[(x)]", f), std::invalid_argument);
  EXPECT_THROW(ParseComplexLine("[(1,1e999)]", f), std::out_of_range);
}

TEST(ParseComplexLine, OtherMarkers) {
  MatrixFormatter f;
  f.set_ComplexBeginsWith("{");
  f.set_ComplexEndsWith("}");
  f.set_ComplexValueSepratedBy("; ");
  f.set_ElementSeparatedBy(" | ");
  EXPECT_EQ(ParseComplexLine("[{1.5; -2} | {0; 7}]", f), (std::vector<Complex>{{1.5, -2}, {0, 7}}));
  // An empty ComplexEndsWith splits at white space.
  f = MatrixFormatter();
  f.set_ComplexEndsWith("");
  f.set_ComplexValueSepratedBy(";");
  EXPECT_EQ(ParseComplexLine("[(1;2 (3;4]", f), (std::vector<Complex>{{1, 2}, {3, 4}}));
}

TEST(ParseComplexLine, EmptySettingsAreRejected) {
  const std::pair<void (MatrixFormatter::*)(std::string), const char*> settings[] = {
      {&MatrixFormatter::set_LineBeginsWith, "LineBeginsWith"},
      {&MatrixFormatter::set_LineEndsWith, "LineEndsWith"},
      {&MatrixFormatter::set_ElementSeparatedBy, "ElementSeparatedBy"},
      {&MatrixFormatter::set_ComplexBeginsWith, "ComplexBeginsWith"},
      {&MatrixFormatter::set_ComplexValueSepratedBy, "ComplexValueSepratedBy"},
  };
  for (const auto& [setter, name] : settings) {
    MatrixFormatter f;
    (f.*setter)("");
    EXPECT_THROW_MSG(ParseComplexLine("[(1,2)]", f), std::invalid_argument,
                     std::string("The formatter's ") + name + " must not be empty for parsing.");
  }
}

// ------------------------------------------------------- comma-decimal locale

TEST(CommaLocale, PrintsAndParsesWithTheLocaleSeparators) {
  orvane_test::CommaLocale locale;
  MatrixFormatter f;
  f.set_ElementSeparatedBy(";");
  f.set_NumberOfDigit(2);
  EXPECT_EQ(FormatString(RealRows({{1, -2.5}}), f), "[1,00;-2,50]\r\n");
  f.set_NumberOfDigit(0);
  EXPECT_EQ(FormatString(RealRows({{0.5, 1.5e20}}), f), "[0,5;1,5E+20]\r\n");
  EXPECT_EQ(ParseLine("[1.234,5;-2,5;1.000.000]", f), (std::vector<double>{1234.5, -2.5, 1e6}));
  EXPECT_EQ(Parse("1,5e1"), 15);
  EXPECT_THROW(Parse("1.5.0,0,1"), std::invalid_argument);
  EXPECT_THROW(Parse(".5"), std::invalid_argument);

  f.set_ComplexValueSepratedBy("|");
  f.set_NumberOfDigit(3);
  ComplexGeneralMatrix c(1, 2);
  c.set_Item(0, 0, Complex(1.25, -0.5));
  c.set_Item(0, 1, Complex(1234, 0));
  const std::string text = FormatString(c, f);
  EXPECT_EQ(text, "[(1,250|-0,500);(1234,000|0,000)]\r\n");
  EXPECT_EQ(ParseComplexLine(text.substr(0, text.size() - 2), f),
            (std::vector<Complex>{{1.25, -0.5}, {1234, 0}}));
}

TEST(CommaLocale, TheClassicLocaleGroupsWithComma) {
  {
    orvane_test::CommaLocale locale;
    EXPECT_EQ(Parse("1,5"), 1.5);
  }
  EXPECT_EQ(Parse("1,5"), 15);
  EXPECT_EQ(Parse("1.5"), 1.5);
}

// ------------------------------------------------------------------- files

class MatrixFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = fs::temp_directory_path() /
            ("orvane-textformat-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    return PathOf(name);
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path m_dir;
};

TEST_F(MatrixFileTest, SaveWritesTheTextAndOneMoreLine) {
  const auto a = RealRows({{1, 2.5}, {-3, 0}});
  const std::string path = PathOf("a.txt");
  SaveMatrixFile(path, a, MatrixFormatter());
  EXPECT_EQ(Contents(path), "[1.0000,2.5000]\r\n[-3.0000,0.0000]\r\n\r\n");
  WriteMatrixText(path, "[7]\r\n");
  EXPECT_EQ(Contents(path), "[7]\r\n\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

TEST_F(MatrixFileTest, RoundTripsRealAndComplex) {
  const auto a = Random<DoubleGeneralMatrix>(7, 4, 3);
  const std::string path = PathOf("real.txt");
  SaveMatrixFile(path, a, WithDigits(0));
  const auto t = LoadMatrixFile<double>(path, WithDigits(0));
  ASSERT_EQ(t.rowNum, 7);
  ASSERT_EQ(t.colNum, 4);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 7; ++i) {
      const double x = a.get_Item(i, j), y = t.values[static_cast<std::size_t>(i + 7 * j)];
      EXPECT_LE(std::fabs(x - y), 5e-15 * std::fabs(x));
    }

  const auto c = Random<ComplexGeneralMatrix>(3, 5, 4);
  SaveMatrixFile(path, c, MatrixFormatter());
  const auto u = LoadMatrixFile<Complex>(path, MatrixFormatter());
  ASSERT_EQ(u.rowNum, 3);
  ASSERT_EQ(u.colNum, 5);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(u.values[static_cast<std::size_t>(i + 3 * j)].ToString(4), c.get_Item(i, j).ToString(4));
}

TEST_F(MatrixFileTest, EmptyShapes) {
  const std::string path = PathOf("m.txt");
  SaveMatrixFile(path, DoubleGeneralMatrix(0, 4), MatrixFormatter());
  EXPECT_EQ(Contents(path), "\r\n");
  auto t = LoadMatrixFile<double>(path, MatrixFormatter());
  EXPECT_EQ(t.rowNum, 0);
  EXPECT_EQ(t.colNum, 0);
  SaveMatrixFile(path, ComplexGeneralMatrix(3, 0), MatrixFormatter());
  const auto u = LoadMatrixFile<Complex>(path, MatrixFormatter());
  EXPECT_EQ(u.rowNum, 3);
  EXPECT_EQ(u.colNum, 0);
  t = LoadMatrixFile<double>(Write("blank.txt", " \r\n\t\n\r\n\r"), MatrixFormatter());
  EXPECT_EQ(t.rowNum, 0);
  EXPECT_EQ(t.colNum, 0);
  t = LoadMatrixFile<double>(Write("nothing.txt", ""), MatrixFormatter());
  EXPECT_EQ(t.rowNum, 0);
}

TEST_F(MatrixFileTest, LineEndsBomBlankLinesAndShortRows) {
  const auto t = LoadMatrixFile<double>(
      Write("mixed.txt", "\xEF\xBB\xBF[1,2]\r[3,4,5]\r\n  \t\r\n\n[6]"), MatrixFormatter());
  ASSERT_EQ(t.rowNum, 3);
  ASSERT_EQ(t.colNum, 3);
  // Column-major, short rows completed with zeros.
  EXPECT_EQ(t.values, (std::vector<double>{1, 3, 6, 2, 4, 0, 0, 5, 0}));
  EXPECT_EQ(ParseMatrixText<double>("[1]\n\n[2]\r\r[3]\r\n", MatrixFormatter()).rowNum, 3);
}

TEST_F(MatrixFileTest, Utf16AndUtf32ByteOrderMarks) {
  const std::string text = "[1,2]\r\n[3,4]";
  std::string le = "\xFF\xFE", be = "\xFE\xFF", le32("\xFF\xFE\0\0", 4);
  for (char ch : text) {
    le += ch;
    le += '\0';
    be += '\0';
    be += ch;
    le32 += ch;
    le32.append(3, '\0');
  }
  for (const auto& bytes : {le, be, le32}) {
    const auto t = LoadMatrixFile<double>(Write("wide.txt", bytes), MatrixFormatter());
    EXPECT_EQ(t.rowNum, 2);
    EXPECT_EQ(t.values, (std::vector<double>{1, 3, 2, 4}));
  }
}

TEST_F(MatrixFileTest, ParseErrorsPassThrough) {
  const std::string path = Write("bad.txt", "[1,2]\r\n[3;4]\r\n");
  EXPECT_THROW(LoadMatrixFile<double>(path, MatrixFormatter()), std::invalid_argument);
  EXPECT_THROW(LoadMatrixFile<Complex>(Write("c.txt", "[(1)]"), MatrixFormatter()),
               std::out_of_range);
}

TEST_F(MatrixFileTest, MissingFileAndDirectoryRaiseSystemError) {
  const std::string missing = PathOf("missing.txt");
  try {
    LoadMatrixFile<double>(missing, MatrixFormatter());
    ADD_FAILURE() << "no exception";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(e.what()).find("Cannot read the file '" + missing + "'"), std::string::npos);
  }
  try {
    ReadMatrixFile(m_dir.string());
    ADD_FAILURE() << "no exception";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::is_a_directory);
    EXPECT_NE(std::string(e.what()).find(m_dir.string()), std::string::npos);
  }
}

TEST_F(MatrixFileTest, SaveIntoMissingFolderRaisesAndLeavesNothing) {
  const std::string path = PathOf("no/such/folder/a.txt");
  try {
    SaveMatrixFile(path, RealRows({{1}}), MatrixFormatter());
    ADD_FAILURE() << "no exception";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(e.what()).find("Cannot create the file '" + path + "'"), std::string::npos);
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(MatrixFileTest, SaveOverADirectoryLeavesItAndNoTemporaryFile) {
  fs::create_directory(m_dir / "target");
  Write("target/inside.txt", "keep");
  EXPECT_THROW(SaveMatrixFile(PathOf("target"), RealRows({{1}}), MatrixFormatter()),
               std::system_error);
  EXPECT_EQ(Entries(), std::vector<std::string>{"target"});
  EXPECT_EQ(Contents(PathOf("target/inside.txt")), "keep");
}

// A write that fails half way (file size limit) keeps the old file.
TEST_F(MatrixFileTest, FailedWriteKeepsTheOldFile) {
  const std::string path = Write("a.txt", "old");
  const auto big = Random<DoubleGeneralMatrix>(200, 200, 5);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::error_code code;
  try {
    SaveMatrixFile(path, big, MatrixFormatter());
  } catch (const std::system_error& e) {
    code = e.code();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(code, std::errc::file_too_large);
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

TEST_F(MatrixFileTest, ReplacingKeepsPermissions) {
  const std::string path = Write("a.txt", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  SaveMatrixFile(path, RealRows({{1}}), MatrixFormatter());
  EXPECT_EQ(Contents(path), "[1.0000]\r\n\r\n");
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(MatrixFileTest, SavingThroughALinkReplacesTheLinkedFile) {
  fs::create_directory(m_dir / "real");
  const std::string target = Write("real/a.txt", "old");
  fs::create_symlink(target, m_dir / "link.txt");
  SaveMatrixFile(PathOf("link.txt"), RealRows({{2}}), MatrixFormatter());
  EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
  EXPECT_EQ(Contents(target), "[2.0000]\r\n\r\n");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"link.txt", "real"}));
}
