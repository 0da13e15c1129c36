// What an operation that can fail did: done, or failed for the operating system's reason.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace platform {

// Not an errno value: the path names a device, a pipe or a socket, which are never read
// or written as files (a read could block for ever, or never end).
inline constexpr int kNotRegularFile = -1;

class Status {
 public:
  Status() = default;  // done
  // error: an errno value; 0 (a failure without one) counts as EIO.
  static Status failure(int error) { return Status(error != 0 ? error : EIO); }
  static Status from(const std::error_code& ec) { return ec ? failure(ec.value()) : Status(); }

  explicit operator bool() const { return error_ == 0; }
  int error() const { return error_; }
  // The system's words for the reason, such as "No such file or directory"; empty when done.
  std::string reason() const {
    if (error_ == kNotRegularFile) return "Not a regular file";
    return error_ ? std::generic_category().message(error_) : std::string();
  }

 private:
  explicit Status(int error) : error_(error) {}
  int error_ = 0;
};

}  // namespace platform
