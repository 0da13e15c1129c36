// What an operation that can fail did: done, or failed for the operating system's reason.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace platform {

class Status {
 public:
  Status() = default;  // done
  // error: an errno value; 0 (a failure without one) counts as EIO.
  static Status failure(int error) { return Status(error != 0 ? error : EIO); }
  static Status from(const std::error_code& ec) { return ec ? failure(ec.value()) : Status(); }

  explicit operator bool() const { return error_ == 0; }
  int error() const { return error_; }
  // The system's words for the reason, such as "No such file or directory"; empty when done.
  std::string reason() const { return error_ ? std::generic_category().message(error_) : std::string(); }

 private:
  explicit Status(int error) : error_(error) {}
  int error_ = 0;
};

}  // namespace platform
