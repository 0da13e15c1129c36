// Text and number conversions with the program's own rules, independent of the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr char kCarriageReturn = '\r';

// Numeric value of a text: leading blanks are skipped and the longest leading decimal
// number is read (sign, digits, "." as the only decimal point, an exponent); 0 when the
// text does not start with one. A magnitude beyond a double's range gives an infinity.
double numeric_value(std::string_view text);

// To the nearest integer, a half to the even one; empty when the result does not fit.
std::optional<std::int32_t> round_to_int32(double value);
std::optional<std::int16_t> round_to_int16(double value);

// A real number as the shortest decimal text that reads back as the same value, always
// with "." as the decimal point (1 as "1", 2.5 as "2.5").
std::string decimal_text(double value);

// Every occurrence of from replaced by to, left to right, without overlap.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to);

// The text from its second character on; empty for a text shorter than two.
std::string_view from_second(std::string_view text);

}  // namespace platform
