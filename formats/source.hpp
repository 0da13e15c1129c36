// A data file read as a reader of another maker's format needs it: at offsets, checked
// against its length, with the files beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/byte_order.hpp"
#include "platform/binary_file.hpp"
#include "platform/file_system.hpp"

namespace formats {

class Source {
 public:
  // path: the data file (a native path); it is only read.
  Source(platform::FileSystem& files, std::string path);

  bool is_open() const { return file_.is_open(); }
  std::int64_t length() const { return length_; }
  const std::string& path() const { return path_; }
  // The file's own name, without its folder.
  std::string name() const;

  // n bytes from offset on into `into`; false, and `into` untouched past what was
  // found, when any of them lies beyond the end or cannot be read.
  [[nodiscard]] bool read(std::int64_t offset, void* into, std::size_t n);
  // The file's first n bytes, or all of it when it is shorter.
  std::string head(std::size_t n);

  // A text file beside the data file, at most its first MiB; empty when there is none.
  std::string sibling(std::string_view name) const;
  bool has_sibling(std::string_view name) const;

 private:
  platform::FileSystem& files_;
  std::string path_;
  std::string folder_;  // with its trailing separator; empty for a bare name
  platform::FailureFlag failures_;  // the reader says what failed, in words of its own
  platform::BinaryFile file_;
  std::int64_t length_ = 0;
};

// The fields of a fixed-layout header held in memory, in the header's byte order. An
// offset past the end gives 0 (and empty text): headers are read whole before their
// fields, so that only a reader's own mistake could ask for one.
class Fields {
 public:
  Fields(std::string_view bytes, common::ByteOrder order) : bytes_(bytes), order_(order) {}
  std::uint8_t u8(std::size_t at) const;
  std::uint16_t u16(std::size_t at) const;
  std::uint32_t u32(std::size_t at) const;
  std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
  std::uint64_t u64(std::size_t at) const;
  float f32(std::size_t at) const;
  double f64(std::size_t at) const;
  // The text of a field of n bytes, up to its first NUL, without trailing blanks.
  std::string text(std::size_t at, std::size_t n) const;

 private:
  const unsigned char* at(std::size_t offset, std::size_t n) const;
  std::string_view bytes_;
  common::ByteOrder order_;
};

}  // namespace formats
