// Words of a file in either byte order: the one decoder of binary fields, for the sound,
// the picture and the readers of other makers' files.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace common {

enum class ByteOrder { Big, Little };

// The unsigned integer of sizeof(Unsigned) bytes at p in the given order.
template <ByteOrder Order, typename Unsigned>
inline Unsigned load(const unsigned char* p) {
  Unsigned v;
  std::memcpy(&v, p, sizeof v);
  constexpr bool native = (Order == ByteOrder::Little) == (std::endian::native == std::endian::little);
  if constexpr (!native) {
    if constexpr (sizeof v == 2) v = __builtin_bswap16(v);
    if constexpr (sizeof v == 4) v = __builtin_bswap32(v);
    if constexpr (sizeof v == 8) v = __builtin_bswap64(v);
  }
  return v;
}

// A word of each type from its bytes at p.
template <ByteOrder Order>
inline std::int16_t int16_at(const unsigned char* p) {
  return static_cast<std::int16_t>(load<Order, std::uint16_t>(p));
}
template <ByteOrder Order>
inline std::int32_t int32_at(const unsigned char* p) {
  return static_cast<std::int32_t>(load<Order, std::uint32_t>(p));
}
template <ByteOrder Order>
inline float float32_at(const unsigned char* p) {
  return std::bit_cast<float>(load<Order, std::uint32_t>(p));
}
template <ByteOrder Order>
inline double float64_at(const unsigned char* p) {
  return std::bit_cast<double>(load<Order, std::uint64_t>(p));
}

}  // namespace common
