#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale>

namespace OrvaneNet::detail {
namespace {

// The decimal digits of |x| rounded to 15 significant digits, and the
// exponent of the first one: |x| = d0.d1d2... x 10^exponent.
struct Digits {
  char d[16];
  int count;
  int exponent;
};

Digits SignificantDigits(double ax) {
  char buf[32];
  // "d.dddddddddddddde+XX": to_chars rounds the exact binary value correctly.
  auto res = std::to_chars(buf, buf + sizeof buf, ax, std::chars_format::scientific, 14);
  Digits out{};
  const char* p = buf;
  out.d[out.count++] = *p++;
  if (*p == '.') {
    ++p;
    while (*p != 'e') out.d[out.count++] = *p++;
  }
  ++p;  // 'e'
  std::from_chars(*p == '+' ? p + 1 : p, res.ptr, out.exponent);
  return out;
}

bool AppendSpecial(std::string& out, double x) {
  if (std::isnan(x)) {
    out += "NaN";
    return true;
  }
  if (std::isinf(x)) {
    out += x < 0 ? "-Infinity" : "Infinity";
    return true;
  }
  return false;
}

}  // namespace

NumberConventions NumberConventions::Current() {
  const auto& punct = std::use_facet<std::numpunct<char>>(std::locale());
  return {punct.decimal_point(), punct.thousands_sep()};
}

void AppendFixed(std::string& out, double x, int digits, const NumberConventions& conv) {
  if (AppendSpecial(out, x)) return;
  if (digits < 0) digits = 0;

  Digits sig{};
  if (x != 0.0) sig = SignificantDigits(std::fabs(x));
  // Keep the digits whose weight is at least 10^-digits, then round half away
  // from zero on the first dropped digit.
  long keep = static_cast<long>(sig.exponent) + digits + 1;
  if (keep < sig.count) {
    if (keep < 0) {
      sig.count = 0;
    } else {
      const bool up = sig.d[keep] >= '5';
      sig.count = static_cast<int>(keep);
      if (up) {
        int k = sig.count - 1;
        while (k >= 0 && sig.d[k] == '9') sig.d[k--] = '0';
        if (k >= 0) {
          ++sig.d[k];
        } else {  // 9.99 -> 10.0: a new leading digit
          for (int m = sig.count; m > 0; --m) sig.d[m] = sig.d[m - 1];
          sig.d[0] = '1';
          ++sig.count;
          ++sig.exponent;
        }
      }
    }
  }
  bool nonzero = false;
  for (int k = 0; k < sig.count; ++k) nonzero |= sig.d[k] != '0';
  if (!nonzero) sig.count = 0;

  // Digit k of sig has weight 10^(exponent - k). The text's length is known
  // up front, so it is written in place rather than a character at a time.
  const bool negative = x < 0 && nonzero;
  const long intDigits = (sig.count == 0 || sig.exponent < 0) ? 1 : sig.exponent + 1L;
  const std::size_t length = static_cast<std::size_t>(negative) +
                             static_cast<std::size_t>(intDigits) +
                             (digits > 0 ? 1 + static_cast<std::size_t>(digits) : 0);
  const std::size_t start = out.size();
  out.resize(start + length);
  char* p = out.data() + start;
  if (negative) *p++ = '-';
  auto digitAt = [&](long weight) -> char {
    long k = sig.exponent - weight;
    return (k >= 0 && k < sig.count) ? sig.d[k] : '0';
  };
  if (sig.count == 0 || sig.exponent < 0) {
    *p++ = '0';
  } else {
    for (long w = sig.exponent; w >= 0; --w) *p++ = digitAt(w);
  }
  if (digits > 0) {
    *p++ = conv.decimalPoint;
    for (long w = -1; w >= -static_cast<long>(digits); --w) *p++ = digitAt(w);
  }
}

std::string FormatFixed(double x, int digits) {
  std::string out;
  AppendFixed(out, x, digits, NumberConventions::Current());
  return out;
}

void AppendGeneral(std::string& out, double x, const NumberConventions& conv) {
  if (AppendSpecial(out, x)) return;
  if (x == 0.0) {
    out += '0';
    return;
  }
  Digits sig = SignificantDigits(std::fabs(x));
  while (sig.count > 1 && sig.d[sig.count - 1] == '0') --sig.count;
  if (x < 0) out += '-';
  const int e = sig.exponent;
  if (e > -5 && e < 15) {
    if (e < 0) {
      out += '0';
      out += conv.decimalPoint;
      out.append(static_cast<std::size_t>(-e - 1), '0');
      out.append(sig.d, static_cast<std::size_t>(sig.count));
    } else {
      for (int k = 0; k <= e; ++k) out += k < sig.count ? sig.d[k] : '0';
      if (sig.count > e + 1) {
        out += conv.decimalPoint;
        out.append(sig.d + e + 1, static_cast<std::size_t>(sig.count - e - 1));
      }
    }
    return;
  }
  out += sig.d[0];
  if (sig.count > 1) {
    out += conv.decimalPoint;
    out.append(sig.d + 1, static_cast<std::size_t>(sig.count - 1));
  }
  out += 'E';
  out += e < 0 ? '-' : '+';
  const int ae = std::abs(e);
  if (ae < 10) out += '0';
  out += std::to_string(ae);
}

std::string FormatGeneral(double x) {
  std::string out;
  AppendGeneral(out, x, NumberConventions::Current());
  return out;
}

}  // namespace OrvaneNet::detail

namespace OrvaneNet::detail {

void AppendShortest(std::string& out, double x, const NumberConventions& conv) {
  if (AppendSpecial(out, x)) return;
  char buf[32];  // the longest shortest form, "-2.2250738585072014e-308", has 24
  char* end = std::to_chars(buf, buf + sizeof buf, x).ptr;
  const std::size_t start = out.size();
  out.append(buf, static_cast<std::size_t>(end - buf));
  if (conv.decimalPoint != '.') {
    for (std::size_t k = start; k < out.size(); ++k) {
      if (out[k] == '.') out[k] = conv.decimalPoint;
    }
  }
}

std::string FormatShortest(double x) {
  std::string out;
  AppendShortest(out, x, NumberConventions{});
  return out;
}

}  // namespace OrvaneNet::detail
