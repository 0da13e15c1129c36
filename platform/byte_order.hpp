// Integers from the bytes of files written on machines of either byte order.
#pragma once

#include <cstdint>

namespace platform {

// The big-endian signed 32-bit integer at p: the first byte is the most significant.
inline std::int32_t be32_at(const unsigned char* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                                   std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]});
}

}  // namespace platform
