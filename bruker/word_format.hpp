// How a dataset stores the words of its FID: byte order and width, as its acqus says.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/byte_order.hpp"

namespace bruker {

// The byte orders and word decoders every reader of binary words shares.
using common::ByteOrder;
using common::float64_at;
using common::int32_at;

enum class WordType { Int32, Float64 };

struct WordFormat {
  ByteOrder order = ByteOrder::Big;  // the classic reading: big-endian
  WordType type = WordType::Int32;   // 32-bit signed integers
  std::size_t bytes() const { return type == WordType::Int32 ? 4 : 8; }
  bool operator==(const WordFormat&) const = default;
};

// The value of one word at p, in its format.
inline double word_at(const unsigned char* p, const WordFormat& format) {
  const bool little = format.order == ByteOrder::Little;
  if (format.type == WordType::Float64) {
    return little ? float64_at<ByteOrder::Little>(p) : float64_at<ByteOrder::Big>(p);
  }
  return little ? int32_at<ByteOrder::Little>(p) : int32_at<ByteOrder::Big>(p);
}

// From the acquisition parameters: "##$BYTORDA= 0" means little-endian, "##$DTYPA= 2"
// 64-bit IEEE-754 doubles; any other value, or none, the classic big-endian 32-bit words.
WordFormat word_format(std::string_view acqus);

// Appends the bytes of a word (an std::int32_t or a double) in the given order: the one
// writer of FID files, for the demo, the benchmark and the tests.
template <typename Word>
inline void append_word(std::string& bytes, ByteOrder order, Word value) {
  static_assert(std::is_same_v<Word, std::int32_t> || std::is_same_v<Word, double>);
  using Bits = std::conditional_t<sizeof(Word) == 4, std::uint32_t, std::uint64_t>;
  const auto bits = std::bit_cast<Bits>(value);
  for (std::size_t i = 0; i < sizeof bits; ++i) {
    const std::size_t shift = 8 * (order == ByteOrder::Little ? i : sizeof bits - 1 - i);
    bytes += static_cast<char>(bits >> shift);
  }
}

}  // namespace bruker
