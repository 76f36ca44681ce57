// Reading one number of the matrix text format back into a double.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "core/NumberText.h"

namespace OrvaneNet::detail {

// ' ', TAB, LF, VT, FF, CR.
bool IsWhiteSpace(char c) noexcept;
std::string_view TrimWhiteSpace(std::string_view text) noexcept;

// Throws the parse error Error (OrvaneNet/ParseError.h) about piece on line,
// whose what() is prefix + piece + the closing quote.
template <class Error>
[[noreturn]] void ThrowParseError(const char* prefix, std::string_view piece, std::size_t line) {
  std::string message = prefix;
  message.append(piece);
  message += msg::QuotedTextEnd;
  throw Error(message, piece, line);
}

// Accepts [ws] [+|-] digits [decimal-point digits] [(e|E) [+|-] digits] [ws],
// where the locale's group separator may follow any digit of the integer part
// (it is ignored), "1." and ".5" are numbers, and the words NaN, Infinity,
// +Infinity and -Infinity stand alone. Throws NumberFormatError for any other
// shape and NumberRangeError when |value| exceeds the double range, both
// about `text` on `line` (OrvaneNet/ParseError.h); a value below the smallest
// subnormal becomes a zero of its sign.
double ParseNumber(std::string_view text, const NumberConventions& conv, std::size_t line = 0);

}  // namespace OrvaneNet::detail
