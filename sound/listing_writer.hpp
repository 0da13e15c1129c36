// The sample listing, formatted and written on a thread of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <semaphore>
#include <thread>

#include "platform/binary_file.hpp"

namespace sound {

// Lines are most of a conversion's work, and need nothing but the values: while this
// writes one block of them, the samples of the next blocks are made. Blocks are large,
// as each one handed over may cost a wake-up on both sides. Without a thread to be had,
// the lines are written as the values come.
class ListingWriter {
 public:
  // list stays this writer's until finish().
  explicit ListingWriter(platform::BinaryFile& list);
  ~ListingWriter() { finish(); }
  ListingWriter(const ListingWriter&) = delete;
  ListingWriter& operator=(const ListingWriter&) = delete;

  // Room for the next n values (n at most kMostValues), then what fills it says so.
  static constexpr std::size_t kMostValues = 4096;
  std::int32_t* room(std::size_t n);
  void filled(std::size_t n);
  // Writes what was filled and ends the thread; list is the caller's again.
  void finish();

 private:
  static constexpr std::size_t kBlocks = 4;
  static constexpr std::size_t kBlockValues = 2 * kMostValues;
  struct Block {
    std::int32_t values[kBlockValues];
    std::size_t count = 0;  // handed over with 0: no more blocks
  };

  void hand_over();
  void write_blocks();

  platform::BinaryFile& list_;
  std::unique_ptr<Block[]> blocks_;
  std::size_t current_ = 0;  // the block being filled
  bool holding_ = false;     // whether the maker holds the current block
  std::counting_semaphore<kBlocks> free_{kBlocks};
  std::counting_semaphore<kBlocks> full_{0};
  std::thread thread_;
  bool finished_ = false;
};

// One listing line for each value, formatted straight into the file's buffer.
void write_lines(platform::BinaryFile& list, const std::int32_t* values, std::size_t n);

}  // namespace sound
