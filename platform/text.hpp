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
// The same number, or nothing when the text does not start with one.
std::optional<double> leading_number(std::string_view text);

// To the nearest integer, a half to the even one; empty when the result does not fit.
// Inline, as every sample passes through it.
inline std::optional<std::int32_t> round_to_int32(double value) {
  // Exactly the values that round into range; NaN fails too.
  if (!(value >= -2147483648.5 && value < 2147483647.5)) return std::nullopt;
  // Adding and taking away 1.5 * 2^52 leaves no bits below the units, so the sum is
  // rounded by the hardware's default mode, to nearest with ties to even; unlike
  // std::nearbyint it needs no library call.
  constexpr double kShift = 6755399441055744.0;
  return static_cast<std::int32_t>((value + kShift) - kShift);
}
std::optional<std::int16_t> round_to_int16(double value);

// A real number as the shortest decimal text that reads back as the same value, always
// with "." as the decimal point (1 as "1", 2.5 as "2.5").
std::string decimal_text(double value);
// A real number with so many decimals, "." as the decimal point; "?" when it has no such form.
std::string fixed_text(double value, int decimals);

// Every occurrence of from replaced by to, left to right, without overlap.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to);

// The text from its second character on; empty for a text shorter than two.
std::string_view from_second(std::string_view text);

}  // namespace platform
