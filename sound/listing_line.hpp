// A sample as one line of the listing: signed decimal text, formatted fast.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace sound {

// The longest line, "-2147483648\r\n", is 13 bytes; formatting may touch up to this many.
inline constexpr std::size_t kDecimalLineRoom = 16;

namespace detail {

// The four digits of every number below 10000, the first in the lowest byte.
inline constexpr auto kFourDigits = [] {
  std::array<std::uint32_t, 10000> text{};
  for (std::uint32_t n = 0; n < 10000; ++n) {
    text[n] = ('0' + n / 1000) | ('0' + n / 100 % 10) << 8 | ('0' + n / 10 % 10) << 16 | ('0' + n % 10) << 24;
  }
  return text;
}();

}  // namespace detail

// Writes the value as signed decimal text, a non-negative one after one blank, then CR LF,
// into out (kDecimalLineRoom bytes of room), and returns the line's length.
//
// Without a branch that depends on the data below 10^8: the samples of a listing change
// sign and length at random, and mispredicted branches would cost more than the rest of
// the conversion. Two lookups give all eight digits in one 64-bit word, and the count of
// the leading '0' bytes (the trailing zero bits of the digits' values) shifts them out.
inline std::size_t format_decimal_line(char* out, std::int32_t value) {
  // Sign and magnitude by arithmetic, not by a branch the compiler might keep.
  const auto negative = static_cast<std::uint32_t>(value < 0);
  const std::uint32_t magnitude = (static_cast<std::uint32_t>(value) ^ (0u - negative)) + negative;
  out[0] = static_cast<char>(' ' + negative * ('-' - ' '));
  if (magnitude >= 100000000u) {
    char* end = std::to_chars(out + 1, out + kDecimalLineRoom, magnitude).ptr;
    std::memcpy(end, "\r\n", 2);
    return static_cast<std::size_t>(end + 2 - out);
  }
  const std::uint32_t high = magnitude / 10000, low = magnitude - high * 10000;
  const std::uint64_t digits = detail::kFourDigits[high] | std::uint64_t{detail::kFourDigits[low]} << 32;
  // Little-endian: the first digit is the lowest byte. Of "00000000" one '0' stays.
  const int leading = std::min(std::countr_zero(digits - 0x3030303030303030ull) / 8, 7);
  const std::uint64_t text = digits >> (8 * leading);
  std::memcpy(out + 1, &text, 8);
  std::memcpy(out + 9 - leading, "\r\n", 2);
  return static_cast<std::size_t>(11 - leading);
}

}  // namespace sound
