// The sample listing, formatted and written on a thread of its own.
#include "sound/listing_writer.hpp"

#include <algorithm>
#include <new>
#include <system_error>

#include "sound/listing_line.hpp"

namespace sound {

void write_lines(platform::BinaryFile& list, const std::int32_t* values, std::size_t n) {
  // A piece at a time, as much as the file's buffer holds at the longest lines.
  constexpr std::size_t kPiece = platform::BinaryFile::kBufferSize / kDecimalLineRoom / 2;
  for (std::size_t first = 0; first < n; first += kPiece) {
    const std::int32_t* piece = values + first;
    const std::size_t m = std::min(kPiece, n - first);
    // Captured by value and counted in a local: the bytes stored through out may alias
    // anything, and would otherwise force these back from memory after every line.
    list.write_in_place(m * kDecimalLineRoom, [piece, m](char* out) {
      std::size_t at = 0;
      for (std::size_t i = 0; i < m; ++i) at += format_decimal_line(out + at, piece[i]);
      return at;
    });
  }
}

ListingWriter::ListingWriter(platform::BinaryFile& list) : list_(list) {
  blocks_.reset(new (std::nothrow) Block[kBlocks]);
  if (!blocks_) return;
  try {
    thread_ = std::thread([this] { write_blocks(); });
  } catch (const std::system_error&) {
    // No thread: filled() writes the lines itself.
  }
}

std::int32_t* ListingWriter::room(std::size_t n) {
  thread_local std::int32_t unthreaded[kMostValues];
  if (!thread_.joinable()) return unthreaded;
  if (!holding_) {
    free_.acquire();
    holding_ = true;
    blocks_[current_].count = 0;
  } else if (blocks_[current_].count + n > kBlockValues) {
    hand_over();
    return room(n);
  }
  return blocks_[current_].values + blocks_[current_].count;
}

void ListingWriter::filled(std::size_t n) {
  if (!thread_.joinable()) {
    write_lines(list_, room(n), n);
    return;
  }
  blocks_[current_].count += n;
}

void ListingWriter::hand_over() {
  holding_ = false;
  current_ = (current_ + 1) % kBlocks;
  full_.release();
}

void ListingWriter::finish() {
  if (finished_ || !thread_.joinable()) return;
  finished_ = true;
  if (holding_ && blocks_[current_].count > 0) hand_over();
  if (!holding_) free_.acquire();
  blocks_[current_].count = 0;  // the end
  holding_ = true;
  hand_over();
  thread_.join();
}

void ListingWriter::write_blocks() {
  for (std::size_t at = 0;; at = (at + 1) % kBlocks) {
    full_.acquire();
    const Block& block = blocks_[at];
    if (block.count == 0) return;
    write_lines(list_, block.values, block.count);
    free_.release();
  }
}

}  // namespace sound
