// Binary data words of the makers' files, decoded into doubles.
#pragma once

#include <cstddef>

#include "common/byte_order.hpp"

namespace formats {

enum class WordKind { Int16, Int32, Float32, Float64 };

constexpr std::size_t word_bytes(WordKind kind) {
  return kind == WordKind::Int16 ? 2 : kind == WordKind::Float64 ? 8 : 4;
}

// n words of the kind, in the order, from bytes into out.
template <common::ByteOrder Order>
void decode_words(const unsigned char* bytes, std::size_t n, WordKind kind, double* out) {
  using namespace common;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char* p = bytes + i * word_bytes(kind);
    switch (kind) {
      case WordKind::Int16: out[i] = int16_at<Order>(p); break;
      case WordKind::Int32: out[i] = int32_at<Order>(p); break;
      case WordKind::Float32: out[i] = float32_at<Order>(p); break;
      case WordKind::Float64: out[i] = float64_at<Order>(p); break;
    }
  }
}

inline void decode_words(const unsigned char* bytes, std::size_t n, WordKind kind, common::ByteOrder order,
                         double* out) {
  if (order == common::ByteOrder::Big) {
    decode_words<common::ByteOrder::Big>(bytes, n, kind, out);
  } else {
    decode_words<common::ByteOrder::Little>(bytes, n, kind, out);
  }
}

}  // namespace formats
