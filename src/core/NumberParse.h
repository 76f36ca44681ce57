// Reading one number of the matrix text format back into a double.
#pragma once

#include <string_view>

#include "core/NumberText.h"

namespace OrvaneNet::detail {

// ' ', TAB, LF, VT, FF, CR.
bool IsWhiteSpace(char c) noexcept;
std::string_view TrimWhiteSpace(std::string_view text) noexcept;

// Accepts [ws] [+|-] digits [decimal-point digits] [(e|E) [+|-] digits] [ws],
// where the locale's group separator may follow any digit of the integer part
// (it is ignored), "1." and ".5" are numbers, and the words NaN, Infinity,
// +Infinity and -Infinity stand alone. Throws std::invalid_argument for any
// other shape and std::out_of_range when |value| exceeds the double range; a
// value below the smallest subnormal becomes a zero of its sign.
double ParseNumber(std::string_view text, const NumberConventions& conv);

}  // namespace OrvaneNet::detail
