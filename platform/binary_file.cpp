// A buffered file with 1-based byte positions.
#include "platform/binary_file.hpp"

#include "platform/status.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace platform {
namespace {

// pread/pwrite, retried when a signal interrupts them.
ssize_t pread_all(int fd, unsigned char* dst, std::size_t n, std::int64_t offset) {
  ssize_t r;
  do {
    r = ::pread(fd, dst, n, static_cast<off_t>(offset));
  } while (r < 0 && errno == EINTR);
  return r;
}

// 0, or the errno of the write that failed; a write that takes nothing counts as a full disk.
int pwrite_all(int fd, const unsigned char* src, std::size_t n, std::int64_t offset) {
  while (n > 0) {
    const ssize_t r = ::pwrite(fd, src, n, static_cast<off_t>(offset));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    if (r == 0) return ENOSPC;
    src += r;
    n -= static_cast<std::size_t>(r);
    offset += r;
  }
  return 0;
}

// Buffers of closed files wait here for the next file, rather than going back to the
// system: a sound request opens six files, and fresh 128 KiB allocations would each have
// their pages faulted in anew (a third of a short request's time).
using Buffer = std::unique_ptr<unsigned char[]>;
thread_local std::vector<Buffer> spareBuffers;
constexpr std::size_t kSpareBuffers = 8;

Buffer take_buffer() {
  if (spareBuffers.empty()) return std::make_unique_for_overwrite<unsigned char[]>(BinaryFile::kBufferSize);
  Buffer buffer = std::move(spareBuffers.back());
  spareBuffers.pop_back();
  return buffer;
}

void give_back(Buffer buffer) {
  if (buffer && spareBuffers.size() < kSpareBuffers) spareBuffers.push_back(std::move(buffer));
}

int open_descriptor(const char* path, BinaryFile::Mode mode) {
  using Mode = BinaryFile::Mode;
  // Non-blocking, so that a pipe or a device in a file's place is found out by the check
  // below rather than waited on.
  constexpr int kCommon = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case Mode::Binary:
      return ::open(path, O_RDWR | O_CREAT | kCommon, 0666);
    case Mode::Writing:
      return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | kCommon, 0666);
    case Mode::Reading:
      return ::open(path, O_RDONLY | kCommon);
    case Mode::ReadingCreated: {
      const int fd = ::open(path, O_RDONLY | kCommon);
      if (fd >= 0 || errno != ENOENT) return fd;
      // O_EXCL creates nothing through a link, a dangling one included.
      return ::open(path, O_RDONLY | O_CREAT | O_EXCL | kCommon, 0666);
    }
    case Mode::CreatedNew:
      return ::open(path, O_RDWR | O_CREAT | O_EXCL | kCommon, 0666);
  }
  errno = EINVAL;
  return -1;
}

// A descriptor on the regular file at path, or -1 with the reason in error.
int open_file(const char* path, BinaryFile::Mode mode, int& error) {
  const int fd = open_descriptor(path, mode);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

BinaryFile::BinaryFile(const std::filesystem::path& path, Mode mode, FailureFlag& failures)
    : failures_(&failures) {
  if (path.empty()) {
    fail(ENOENT);
    return;
  }
  int error = 0;
  fd_ = open_file(path.c_str(), mode, error);
  if (fd_ < 0) {
    fail(error);
    return;
  }
  buffer_ = take_buffer();
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept { *this = std::move(other); }

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    failures_ = other.failures_;
    buffer_ = std::move(other.buffer_);
    mode_ = std::exchange(other.mode_, Buffer::Idle);
    offset_ = std::exchange(other.offset_, 0);
    cursor_ = std::exchange(other.cursor_, 0);
    filled_ = std::exchange(other.filled_, 0);
    eof_ = std::exchange(other.eof_, false);
    error_ = std::exchange(other.error_, 0);
  }
  return *this;
}

BinaryFile::~BinaryFile() { close(); }

std::size_t BinaryFile::read_slow(void* dst, std::size_t n) {
  if (fd_ < 0) {
    fail(EBADF);
    return 0;
  }
  auto* out = static_cast<unsigned char*>(dst);
  std::size_t got = 0;
  while (got < n) {
    if (mode_ == Buffer::Reading && cursor_ < filled_) {
      const std::size_t take = std::min(n - got, filled_ - cursor_);
      std::memcpy(out + got, buffer_.get() + cursor_, take);
      cursor_ += take;
      got += take;
      continue;
    }
    to_idle();
    // A large read bypasses the buffer.
    const bool direct = n - got >= kBufferSize;
    unsigned char* into = direct ? out + got : buffer_.get();
    const ssize_t r = pread_all(fd_, into, direct ? n - got : kBufferSize, offset_);
    if (r < 0) fail(errno);
    if (r <= 0) break;
    if (direct) {
      offset_ += r;
      got += static_cast<std::size_t>(r);
    } else {
      mode_ = Buffer::Reading;
      filled_ = static_cast<std::size_t>(r);
    }
  }
  if (got < n) {
    eof_ = true;
    std::memset(out + got, 0, n - got);
  }
  return got;
}

void BinaryFile::write_slow(const void* src, std::size_t n) {
  if (fd_ < 0) {
    fail(EBADF);
    return;
  }
  if (n >= kBufferSize) {
    to_idle();
    if (const int error = pwrite_all(fd_, static_cast<const unsigned char*>(src), n, offset_)) fail(error);
    offset_ += static_cast<std::int64_t>(n);
    return;
  }
  make_room(n);
  std::memcpy(buffer_.get() + cursor_, src, n);
  cursor_ += n;
}

void BinaryFile::make_room(std::size_t n) {
  if (fd_ < 0 || n > kBufferSize) return;
  if (mode_ != Buffer::Writing) {
    to_idle();
    mode_ = Buffer::Writing;
  }
  if (cursor_ + n > kBufferSize) flush();
}

void BinaryFile::copy_rest_to(BinaryFile& target) {
  if (fd_ < 0 || target.fd_ < 0) {
    (fd_ < 0 ? *this : target).fail(EBADF);
    return;
  }
  to_idle();
  target.to_idle();
  // In the kernel where the file systems allow it; else through this file's buffer.
  for (;;) {
    off_t from = static_cast<off_t>(offset_), to = static_cast<off_t>(target.offset_);
    const ssize_t n = ::copy_file_range(fd_, &from, target.fd_, &to, std::size_t{1} << 30, 0);
    if (n > 0) {
      offset_ = from;
      target.offset_ = to;
      continue;
    }
    if (n == 0) return;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
      // Which side failed is not told; a full disk, by far the likeliest, is the target's.
      target.fail(errno);
      return;
    }
    break;
  }
  for (;;) {
    const ssize_t got = pread_all(fd_, buffer_.get(), kBufferSize, offset_);
    if (got < 0) fail(errno);
    if (got <= 0) return;
    if (const int error = pwrite_all(target.fd_, buffer_.get(), static_cast<std::size_t>(got), target.offset_)) {
      target.fail(error);
      return;
    }
    offset_ += got;
    target.offset_ += got;
  }
}

bool BinaryFile::set_position(std::int64_t position) {
  if (fd_ < 0 || position < 1) {
    fail(fd_ < 0 ? EBADF : EINVAL);
    return false;
  }
  eof_ = false;
  const std::int64_t target = position - 1;
  if (mode_ == Buffer::Reading && target >= offset_ &&
      target <= offset_ + static_cast<std::int64_t>(filled_)) {
    cursor_ = static_cast<std::size_t>(target - offset_);
    return true;
  }
  to_idle();
  offset_ = target;
  return true;
}

bool BinaryFile::skip(std::int64_t n) {
  const std::int64_t end = length();
  if (end < 0 || n < 0) {
    if (n < 0) fail(EINVAL);
    return false;
  }
  const std::int64_t from = position() - 1;
  if (n > end - from) {
    if (from < end) set_position(end + 1);
    eof_ = true;
    return true;
  }
  return set_position(from + n + 1);
}

std::int64_t BinaryFile::length() {
  if (fd_ < 0) {
    fail(EBADF);
    return -1;
  }
  if (mode_ == Buffer::Writing) flush();
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    fail(errno);
    return -1;
  }
  return st.st_size;
}

void BinaryFile::close() {
  if (fd_ < 0) return;
  to_idle();
  if (::close(fd_) != 0) fail(errno);
  fd_ = -1;
  give_back(std::move(buffer_));
}

void BinaryFile::flush() {
  if (mode_ != Buffer::Writing || cursor_ == 0) return;
  if (const int error = pwrite_all(fd_, buffer_.get(), cursor_, offset_)) fail(error);
  offset_ += static_cast<std::int64_t>(cursor_);
  cursor_ = 0;
}

void BinaryFile::to_idle() {
  if (mode_ == Buffer::Writing) flush();
  offset_ += static_cast<std::int64_t>(cursor_);
  cursor_ = 0;
  filled_ = 0;
  mode_ = Buffer::Idle;
}

}  // namespace platform
