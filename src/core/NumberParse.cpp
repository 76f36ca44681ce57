#include "core/NumberParse.h"

#include <charconv>
#include <limits>
#include <string>

#include "OrvaneNet/ParseError.h"

namespace OrvaneNet::detail {
namespace {

[[noreturn]] void ThrowMalformed(std::string_view text, std::size_t line) {
  ThrowParseError<NumberFormatError>(msg::MalformedNumber, text, line);
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

bool IsWhiteSpace(char c) noexcept {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimWhiteSpace(std::string_view text) noexcept {
  std::size_t b = 0, e = text.size();
  while (b < e && IsWhiteSpace(text[b])) ++b;
  while (e > b && IsWhiteSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

double ParseNumber(std::string_view text, const NumberConventions& conv, std::size_t line) {
  const std::string_view s = TrimWhiteSpace(text);
  const char* p = s.data();
  const char* const end = p + s.size();

  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const std::string_view word(p, static_cast<std::size_t>(end - p));
  if (word == "Infinity") {
    const double inf = std::numeric_limits<double>::infinity();
    return negative ? -inf : inf;
  }
  if (word == "NaN" && p == s.data()) return std::numeric_limits<double>::quiet_NaN();

  // from_chars wants "-ddd.ddde-dd" with '.': translate into a local buffer.
  // The translation is at most one character longer than the text ("0" is
  // put before a bare ".5").
  char small[64];
  std::string large;
  char* buf = small;
  if (s.size() + 2 > sizeof small) {
    large.resize(s.size() + 2);
    buf = large.data();
  }
  char* q = buf;
  if (negative) *q++ = '-';

  // Decimal exponent of the first nonzero digit, to tell overflow from
  // underflow when from_chars reports the value out of range.
  long long magnitude = 0;
  bool nonzero = false;
  std::size_t intDigits = 0, fracDigits = 0;
  while (p != end) {
    if (IsDigit(*p)) {
      if (nonzero) {
        ++magnitude;
      } else if (*p != '0') {
        nonzero = true;
      }
      *q++ = *p++;
      ++intDigits;
    } else if (*p == conv.groupSeparator && *p != conv.decimalPoint && intDigits > 0) {
      ++p;
    } else {
      break;
    }
  }
  if (p != end && *p == conv.decimalPoint) {
    ++p;
    if (intDigits == 0) *q++ = '0';
    *q++ = '.';
    while (p != end && IsDigit(*p)) {
      if (!nonzero) {
        --magnitude;
        nonzero = *p != '0';
      }
      *q++ = *p++;
      ++fracDigits;
    }
  }
  if (intDigits + fracDigits == 0) ThrowMalformed(text, line);

  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    *q++ = 'e';
    bool expNegative = false;
    if (p != end && (*p == '+' || *p == '-')) expNegative = *p++ == '-';
    if (expNegative) *q++ = '-';
    if (p == end || !IsDigit(*p)) ThrowMalformed(text, line);
    long long exponent = 0;
    while (p != end && IsDigit(*p)) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (*p - '0');
      *q++ = *p++;
    }
    magnitude += expNegative ? -exponent : exponent;
  }
  if (p != end) ThrowMalformed(text, line);

  double value = 0.0;
  const auto result = std::from_chars(buf, q, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude >= 0) ThrowParseError<NumberRangeError>(msg::NumberOutOfRange, text, line);
    return negative ? -0.0 : 0.0;  // below the smallest subnormal
  }
  if (result.ec != std::errc() || result.ptr != q) ThrowMalformed(text, line);
  return value;
}

}  // namespace OrvaneNet::detail
