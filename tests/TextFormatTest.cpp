// The matrix text format: printing, the number syntax and text, the two line
// parsers, and matrix text files. The exact parse and file error messages of Load are
// in BadInputCatalogueTest.
#include "OrvaneNet/MatrixFormatter.h"  // first: the public header stands alone

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>

#include <iterator>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <system_error>
#include <vector>

#include "TestUtil.h"
#include "core/NumberParse.h"
#include "core/NumberText.h"
#include "text/MatrixFile.h"
#include "text/TextFormat.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;
using namespace OrvaneNet::detail;
namespace fs = std::filesystem;
using ::testing::HasSubstr;
using orvane_test::TempFolder;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

double Parse(std::string_view text) { return ParseNumber(text, NumberConventions::Current()); }

DoubleGeneralMatrix RealRows(std::initializer_list<std::initializer_list<double>> rows) {
  return orvane_test::FromRows<DoubleGeneralMatrix>(rows);
}

// A formatter by its settings; unnamed ones keep their defaults.
struct Settings {
  const char* lineBegin = "[";
  const char* lineEnd = "]";
  const char* separator = ",";
  const char* complexBegin = "(";
  const char* complexEnd = ")";
  const char* complexSeparator = ",";
  int digits = 4;
};

MatrixFormatter Format(const Settings& s) {
  MatrixFormatter f;
  f.set_LineBeginsWith(s.lineBegin);
  f.set_LineEndsWith(s.lineEnd);
  f.set_ElementSeparatedBy(s.separator);
  f.set_ComplexBeginsWith(s.complexBegin);
  f.set_ComplexEndsWith(s.complexEnd);
  f.set_ComplexValueSepratedBy(s.complexSeparator);
  f.set_NumberOfDigit(s.digits);
  return f;
}

}  // namespace

// ---------------------------------------------------------------- printing

TEST(FormatString, DigitsAndMarkers) {
  const auto a = RealRows({{1, 2.5}, {-3, 0}});
  const std::pair<Settings, const char*> rows[] = {
      {{}, "[1.0000,2.5000]\r\n[-3.0000,0.0000]\r\n"},
      {{.digits = 0}, "[1,2.5]\r\n[-3,0]\r\n"},
      {{.digits = -3}, "[1,2.5]\r\n[-3,0]\r\n"},
      {{.lineBegin = "", .lineEnd = "", .separator = "", .digits = 1}, "1.02.5\r\n-3.00.0\r\n"},
  };
  for (const auto& [settings, text] : rows) EXPECT_EQ(FormatString(a, Format(settings)), text);

  ComplexGeneralMatrix c(2, 2);
  c.set_Item(0, 0, Complex(1, -2));
  c.set_Item(1, 1, Complex(0.5, 7));
  const auto f = Format({.lineBegin = "<<", .lineEnd = ">>", .separator = " | ", .complexBegin = "{",
                         .complexEnd = "}", .complexSeparator = "; ", .digits = 1});
  EXPECT_EQ(FormatString(c, f), "<<{1.0; -2.0} | {0.0; 0.0}>>\r\n<<{0.0; 0.0} | {0.5; 7.0}>>\r\n");
  EXPECT_EQ(FormatStringByLine(c, f, 1), "<<{0.0; 0.0} | {0.5; 7.0}>>");
}

template <class M>
class FormatShapes : public ::testing::Test {};
using DenseKinds = ::testing::Types<DoubleGeneralMatrix, ComplexGeneralMatrix>;
TYPED_TEST_SUITE(FormatShapes, DenseKinds);

TYPED_TEST(FormatShapes, EmptyShapesAndRowIndex) {
  EXPECT_EQ(FormatString(TypeParam(0, 3), MatrixFormatter()), "");
  EXPECT_EQ(FormatString(TypeParam(3, 0), MatrixFormatter()), "[]\r\n[]\r\n[]\r\n");
  EXPECT_THROW_MSG(FormatStringByLine(TypeParam(2, 2), MatrixFormatter(), 2), std::out_of_range,
                   "Row index is out of range.");
  EXPECT_THROW(FormatStringByLine(TypeParam(2, 2), MatrixFormatter(), -1), std::out_of_range);
}

// The text printed, parsed back, prints again byte for byte.
TYPED_TEST(FormatShapes, ParsedTextPrintsTheSame) {
  std::mt19937 rng(11);
  const auto a = orvane_test::RandomDense<TypeParam>(5, 3, rng);
  for (int digits : {4, 0, 7}) {
    const MatrixFormatter f = Format({.digits = digits});
    const std::string text = FormatString(a, f);
    const auto parsed = ParseMatrixText<orvane_test::ElementOf<TypeParam>>(text, f);
    ASSERT_EQ(parsed.rowNum, 5);
    ASSERT_EQ(parsed.colNum, 3);
    TypeParam b(5, 3);
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 5; ++i) b.set_Item(i, j, parsed.values[static_cast<std::size_t>(i + j * 5)]);
    EXPECT_EQ(FormatString(b, f), text);
    // Each part is off by half a unit of the last printed digit (the 15th
    // significant one for digits 0) and a few roundings at most, so a complex
    // element by sqrt(2) times that.
    const double part = 0.5 * std::pow(10.0, digits > 0 ? -digits : -15) + orvane_test::kFewRoundings;
    EXPECT_LE(orvane_test::MaxDifference(a, b), std::sqrt(2.0) * part);
  }
}

// ------------------------------------------------------------ number syntax

TEST(NumberSyntax, AcceptedForms) {
  const std::pair<const char*, double> rows[] = {
      {"1.5", 1.5}, {" \t1.5 \r\n", 1.5}, {"+2", 2}, {"-0", -0.0}, {"007", 7},
      {"1.", 1}, {".5", 0.5}, {"-.5", -0.5},
      {"1E+3", 1000}, {"-1.25E-02", -0.0125}, {"1e0000000000000000000000003", 1000},
      {"1,234.5", 1234.5}, {"1,,2", 12}, {"1,", 1}, {"12,34,5.25", 12345.25},
      {"1.7976931348623157e308", 1.7976931348623157e308}, {"4.9406564584124654e-324", 4.9406564584124654e-324},
      {"1e-320", 1e-320}, {"1e-400", 0.0}, {"-1e-400", -0.0}, {"0e99999", 0.0},
      {"0.000000000000000000000000000000000000000000000000001e-300", 0.0},
      {"Infinity", kInf}, {"+Infinity", kInf}, {" -Infinity ", -kInf},
      {"1000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000",
       1e102},
  };
  for (const auto& [text, value] : rows) {
    const double v = Parse(text);
    EXPECT_EQ(v, value) << '"' << text << '"';
    EXPECT_EQ(std::signbit(v), std::signbit(value)) << '"' << text << '"';
  }
  EXPECT_TRUE(std::isnan(Parse(" NaN\t")));
}

TEST(NumberSyntax, MalformedIsInvalidArgumentAndOverflowOutOfRange) {
  for (const char* text : {"", " ", "+", "-", ".", "-.", "1e", "1e+", "e5", "1;2", "1 2", "--1",
                           "+-1", ",1", "1.2.3", "1.5,0", "1e5.5", "1e,5", "0x10", "1d", "nan",
                           "NAN", "inf", "infinity", "-NaN", "+NaN", "Infinity1", "- 1", "1-",
                           "１"}) {
    EXPECT_THROW(Parse(text), std::invalid_argument) << '"' << text << '"';
  }
  for (const char* text : {"1e309", "-1e309", "1.8e308", "1.7976931348623159e308",
                           "1e99999999999999999999999", "1,000e306"}) {
    EXPECT_THROW(Parse(text), std::out_of_range) << text;
  }
}

// ------------------------------------------------------------ number text

// Rounded half away from zero after a first rounding to 15 significant digits.
TEST(FixedForm, RoundingAndSpecialValues) {
  const struct {
    double value;
    int digits;
    const char* text;
  } rows[] = {
      {-0.00004, 4, "0.0000"},  // no negative zero
      {0.00005, 4, "0.0001"},
      {-2.5, 0, "-3"},
      {0.125, 2, "0.13"},
      {1.005, 2, "1.01"},  // 1.00499999... in binary: a tie after 15 digits
      {-999.96, 1, "-1000.0"},
      {0.1, 20, "0.10000000000000000000"},
      {123456789012345678.0, 1, "123456789012346000.0"},
      {1e-300, 3, "0.000"},
      {7.0, -3, "7"},
      {kNaN, 4, "NaN"},
      {-kInf, 0, "-Infinity"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormatFixed(r.value, r.digits), r.text) << r.value;
}

TEST(GeneralForm, FifteenSignificantDigitsAndExponentRange) {
  const std::pair<double, const char*> rows[] = {
      {1.0 / 3.0, "0.333333333333333"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {1e14, "100000000000000"},
      {1e15, "1E+15"},
      {2.0 / 3.0 * 1e20, "6.66666666666667E+19"},
      {-2.5e-7, "-2.5E-07"},
      {1e-300, "1E-300"},
      {-0.0, "0"},
      {0.1 + 0.2, "0.3"},
      {kNaN, "NaN"},
  };
  for (const auto& [value, text] : rows) EXPECT_EQ(FormatGeneral(value), text) << value;
}

// -------------------------------------------------------------- line parsers

TEST(ParseLine, MarkersAndSeparators) {
  const Settings angle{.lineBegin = "<<", .lineEnd = ">>", .separator = ";"};
  const struct {
    Settings settings;
    const char* line;
    std::vector<double> values;
  } rows[] = {
      {{}, "  [ -1 , 2e1 ]  ", {-1, 20}},
      {{}, "[1,,2]", {1, 2}},
      {{}, "[ ]", {}},
      {{}, "[1]2]", {12}},
      {{.separator = ", "}, "[1, 2]", {1, 2}},
      {{.separator = ""}, "[1 2\t3\v\f4]", {1, 2, 3, 4}},
      {{.separator = ";|"}, "[1;2|3]", {1, 2, 3}},
      {angle, "<<1<<;2>>>>", {1, 2}},  // multi-character markers go as whole strings
      {{.complexBegin = "", .complexSeparator = ""}, "[1]", {1}},  // not needed for real lines
  };
  for (const auto& r : rows) EXPECT_EQ(ParseLine(r.line, Format(r.settings)), r.values) << r.line;
  EXPECT_THROW(ParseLine("<<<1;2>>>", Format(angle)), std::invalid_argument);  // "<1" is left
}

TEST(ParseComplexLine, MarkersAndFields) {
  const struct {
    Settings settings;
    const char* line;
    std::vector<Complex> values;
  } rows[] = {
      {{}, "[(1.0000,2.0000),(3.0000,-4.0000)]", {{1, 2}, {3, -4}}},
      {{}, "[ ( 1,2 ) ]", {{1, 2}}},
      {{}, "[(1 2 x)]", {{1, 2}}},  // fields after the imaginary part are ignored
      {{}, "[]", {}},
      {{.separator = " | ", .complexBegin = "{", .complexEnd = "}", .complexSeparator = "; "},
       "[{1.5; -2} | {0; 7}]", {{1.5, -2}, {0, 7}}},
      {{.complexEnd = "", .complexSeparator = ";"}, "[(1;2 (3;4]", {{1, 2}, {3, 4}}},  // split at blanks
  };
  for (const auto& r : rows) EXPECT_EQ(ParseComplexLine(r.line, Format(r.settings)), r.values) << r.line;
  // The real part is read before the missing imaginary part is noticed.
  EXPECT_THROW(ParseComplexLine("[(x)]", MatrixFormatter()), std::invalid_argument);
}

// ------------------------------------------------------- comma-decimal locale

TEST(CommaLocale, PrintsAndParsesWithTheLocaleSeparators) {
  {
    orvane_test::CommaLocale locale;
    const auto f = Format({.separator = ";", .digits = 2});
    EXPECT_EQ(FormatString(RealRows({{1234.5, -2.5}}), f), "[1234,50;-2,50]\r\n");  // no grouping
    EXPECT_EQ(FormatGeneral(1.5e-7), "1,5E-07");
    EXPECT_EQ(ParseLine("[1.234,5;-2,5;1.000.000]", f), (std::vector<double>{1234.5, -2.5, 1e6}));
    EXPECT_EQ(Parse("1,5e1"), 15);
    EXPECT_THROW(Parse("1.5.0,0,1"), std::invalid_argument);
    EXPECT_THROW(Parse(".5"), std::invalid_argument);
  }
  // The classic locale groups with the comma.
  EXPECT_EQ(Parse("1,5"), 15);
}

// ------------------------------------------------------------------- files

class MatrixFileTest : public ::testing::Test {
 protected:
  // A failed or finished Save leaves no temporary file behind.
  long Entries() const { return std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()); }
  template <class F>
  static void ExpectSystemError(F f, std::errc code, const std::string& text) {
    try {
      f();
      ADD_FAILURE() << "no std::system_error";
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), code);
      EXPECT_THAT(e.what(), HasSubstr(text));
    }
  }

  TempFolder m_folder;
  const fs::path& m_dir = m_folder.Dir();
};

TEST_F(MatrixFileTest, SaveWritesTheTextAndOneMoreLine) {
  const std::string path = m_folder.Path("a.txt");
  SaveMatrixFile(path, RealRows({{1, 2.5}, {-3, 0}}), MatrixFormatter());
  EXPECT_EQ(TempFolder::Read(path), "[1.0000,2.5000]\r\n[-3.0000,0.0000]\r\n\r\n");
  SaveMatrixFile(path, DoubleGeneralMatrix(0, 4), MatrixFormatter());
  EXPECT_EQ(TempFolder::Read(path), "\r\n");
  SaveMatrixFile(path, ComplexGeneralMatrix(3, 0), MatrixFormatter());
  EXPECT_EQ(LoadMatrixFile<Complex>(path, MatrixFormatter()).rowNum, 3);
  EXPECT_EQ(Entries(), 1);
}

TEST_F(MatrixFileTest, LineEndsByteOrderMarksAndShortRows) {
  const std::string mixed = "\xEF\xBB\xBF[1,2]\r[3,4,5]\r\n  \t\r\n\n[6]";
  auto t = LoadMatrixFile<double>(m_folder.Write("mixed.txt", mixed), MatrixFormatter());
  ASSERT_EQ(t.rowNum, 3);
  ASSERT_EQ(t.colNum, 3);
  EXPECT_EQ(t.values, (std::vector<double>{1, 3, 6, 2, 4, 0, 0, 5, 0}));  // column-major, zeros appended
  const std::string text = "[1,2]\r\n[3,4]";
  std::string le = "\xFF\xFE", be = "\xFE\xFF", le32("\xFF\xFE\0\0", 4);
  for (char ch : text) {
    le += std::string{ch, '\0'};
    be += std::string{'\0', ch};
    le32 += std::string{ch, '\0', '\0', '\0'};
  }
  for (const auto& bytes : {le, be, le32}) {
    t = LoadMatrixFile<double>(m_folder.Write("wide.txt", bytes), MatrixFormatter());
    EXPECT_EQ(t.rowNum, 2);
    EXPECT_EQ(t.values, (std::vector<double>{1, 3, 2, 4}));
  }
}

TEST_F(MatrixFileTest, FileErrorsNameThePathAndKeepTheErrorCode) {
  const std::string missing = m_folder.Path("missing.txt");
  const std::string nowhere = m_folder.Path("no/such/folder/a.txt");
  ExpectSystemError([&] { LoadMatrixFile<double>(missing, MatrixFormatter()); }, std::errc::no_such_file_or_directory,
                    "Cannot read the file '" + missing + "'");
  ExpectSystemError([&] { SaveMatrixFile(nowhere, RealRows({{1}}), MatrixFormatter()); },
                    std::errc::no_such_file_or_directory, "Cannot create the file '" + nowhere + "'");
  EXPECT_EQ(Entries(), 0);
}

// A write that fails half way (file size limit) keeps the old file.
TEST_F(MatrixFileTest, FailedWriteKeepsTheOldFile) {
  const std::string path = m_folder.Write("a.txt", "old");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  ExpectSystemError([&] { SaveMatrixFile(path, DoubleGeneralMatrix(200, 200), MatrixFormatter()); },
                    std::errc::file_too_large, "Cannot write the file '" + path + "'");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(TempFolder::Read(path), "old");
  EXPECT_EQ(Entries(), 1);
}

// Replacing keeps the file's permissions, and through a link the linked file
// is replaced, not the link.
TEST_F(MatrixFileTest, ReplacingKeepsPermissionsAndLinks) {
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::create_directory(m_dir / "real");
  const std::string target = m_folder.Write("real/a.txt", "old");
  fs::permissions(target, perms);
  fs::create_symlink(target, m_dir / "link.txt");
  SaveMatrixFile(m_folder.Path("link.txt"), RealRows({{2}}), MatrixFormatter());
  EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
  EXPECT_EQ(TempFolder::Read(target), "[2.0000]\r\n\r\n");
  EXPECT_EQ(fs::status(target).permissions(), perms);
  EXPECT_EQ(Entries(), 2);
}
