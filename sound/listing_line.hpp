// A sample as one line of the listing: signed decimal text, formatted fast.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>

namespace sound {

// The longest line, "-2147483648\r\n", is 13 bytes; formatting may touch up to this many.
inline constexpr std::size_t kDecimalLineRoom = 16;

// Writes the value as signed decimal text, a non-negative one after one blank, then CR LF,
// into out (kDecimalLineRoom bytes of room), and returns the line's length.
//
// Branch-free for magnitudes below 10^8: the samples of a listing change sign and length
// at random, and mispredicted branches would cost more than the rest of the conversion.
// The eight digits are made side by side in one 64-bit word (two 4-digit halves, split
// into 2-digit and then 1-digit lanes by multiply-and-shift division), and the leading
// zeros are shifted out.
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
  const std::uint64_t merged = (magnitude / 10000) | std::uint64_t{magnitude % 10000} << 32;
  const std::uint64_t top = ((merged * 10486) >> 20) & 0x0000007F0000007Full;  // n / 100
  const std::uint64_t hundreds = ((merged - 100 * top) << 16) + top;
  std::uint64_t tens = ((hundreds * 103) >> 10) & 0x000F000F000F000Full;       // n / 10
  tens += (hundreds - 10 * tens) << 8;
  const int digits = 1 + (magnitude >= 10u) + (magnitude >= 100u) + (magnitude >= 1000u) +
                     (magnitude >= 10000u) + (magnitude >= 100000u) + (magnitude >= 1000000u) +
                     (magnitude >= 10000000u);
  // Little-endian: the first digit is the lowest byte, so leading zeros shift out right.
  const std::uint64_t text = (tens + 0x3030303030303030ull) >> (8 * (8 - digits));
  std::memcpy(out + 1, &text, 8);
  std::memcpy(out + 1 + digits, "\r\n", 2);
  return static_cast<std::size_t>(digits + 3);
}

}  // namespace sound
