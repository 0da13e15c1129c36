// A buffered file with 1-based byte positions, in the manner of the program's file numbers.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/failure_flag.hpp"

namespace platform {

// Reads and writes go through one fixed buffer, so a word-by-word caller makes one system
// call per buffer, not per word. Failed operations raise the flag given at opening and
// leave their target unchanged; none of them throws.
class BinaryFile {
 public:
  enum class Mode {
    Binary,         // read and write; creates a missing file
    Writing,        // write only; creates the file or empties it
    Reading,        // read only; fails when the file is missing
    ReadingCreated, // read only; a missing file is created empty first, never through a link
    CreatedNew,     // read and write a file that this creates; fails when the name exists
  };
  // Only regular files open: a folder, a device or a pipe in the file's place is a failed
  // open (checked without waiting on it).
  static constexpr std::size_t kBufferSize = 128 * 1024;

  BinaryFile() = default;
  BinaryFile(const std::filesystem::path& path, Mode mode, FailureFlag& failures);
  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  ~BinaryFile();

  bool is_open() const { return fd_ >= 0; }

  // Reads n bytes at the position, which advances by the bytes found. A read that finds
  // fewer sets end-of-file and fills the rest of dst with zeros. On a file that is not
  // open it fails and leaves dst unchanged. Returns the bytes found.
  std::size_t read(void* dst, std::size_t n) {
    // Inline while the buffer holds the bytes: word-by-word callers read this way.
    if (in_read_buffer(n)) {
      std::memcpy(dst, buffer_.get() + cursor_, n);
      cursor_ += n;
      return n;
    }
    return read_slow(dst, n);
  }

  // Writes n bytes at the position, which advances. A write that fails (file not open,
  // disk full) raises the flag; when buffered, it fails at the next flush or at close().
  void write(const void* src, std::size_t n) {
    if (mode_ == Buffer::Writing && cursor_ + n <= kBufferSize) {
      std::memcpy(buffer_.get() + cursor_, src, n);
      cursor_ += n;
      return;
    }
    write_slow(src, n);
  }
  void write(const std::string& text) { write(text.data(), text.size()); }
  void write_le16(std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    write(b, 2);
  }

  // Lets fill put up to n bytes straight into the write buffer, and writes the bytes that
  // fill says it put there (its result): one copy fewer for callers that format many
  // small records. Fails as write() does.
  template <typename Fill>
  void write_in_place(std::size_t n, Fill&& fill) {
    if (!(mode_ == Buffer::Writing && cursor_ + n <= kBufferSize)) make_room(n);
    if (mode_ == Buffer::Writing && cursor_ + n <= kBufferSize) {
      cursor_ += fill(reinterpret_cast<char*>(buffer_.get() + cursor_));
      return;
    }
    // Not open, or more than the buffer holds: through bytes of its own.
    std::vector<char> bytes(n);
    write(bytes.data(), fill(bytes.data()));
  }

  // Writes the rest of this file, from its position on, to target at target's position;
  // both positions advance. A failure is the failing file's (its flag and its error).
  void copy_rest_to(BinaryFile& target);

  // 1-based. A position below 1 cannot be set: the call fails and nothing changes.
  // Setting a position clears end-of-file; a position behind the end is allowed.
  bool set_position(std::int64_t position);
  std::int64_t position() const { return offset_ + static_cast<std::int64_t>(cursor_) + 1; }
  // Moves the position on by n bytes; a move that would run past the end stops at the end
  // and sets end-of-file, as a short read does. A negative n fails.
  bool skip(std::int64_t n);

  // Length of the open file, pending writes included; -1 (and the flag) when not open.
  std::int64_t length();

  // True only after a read found fewer bytes than it asked for; always true when not open.
  bool eof() const { return eof_ || fd_ < 0; }

  // Writes what is pending and closes; a failed flush raises the flag.
  void close();

  // The system's reason (an errno value) for the first operation on this file that
  // failed; 0 while none has.
  int error() const { return error_; }

 private:
  enum class Buffer { Idle, Reading, Writing };

  bool in_read_buffer(std::size_t n) const {
    return mode_ == Buffer::Reading && cursor_ + n <= filled_;
  }
  std::size_t read_slow(void* dst, std::size_t n);
  void write_slow(const void* src, std::size_t n);
  void make_room(std::size_t n);  // for n bytes of buffered writing, when open
  void flush();
  void to_idle();  // flushes and forgets the buffer, keeping the position
  void fail(int error) {
    if (error_ == 0) error_ = error != 0 ? error : EIO;
    if (failures_) failures_->raise();
  }

  int fd_ = -1;
  FailureFlag* failures_ = nullptr;
  std::unique_ptr<unsigned char[]> buffer_;
  Buffer mode_ = Buffer::Idle;
  std::int64_t offset_ = 0;  // file offset of buffer_[0]
  std::size_t cursor_ = 0;   // position within the buffer
  std::size_t filled_ = 0;   // valid bytes when reading
  bool eof_ = false;
  int error_ = 0;
};

}  // namespace platform
