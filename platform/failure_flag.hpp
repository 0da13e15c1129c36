// Remembers that an operation failed, for routines that resume after errors.
#pragma once

namespace platform {

// Raised by every failed file operation; a sound request clears it when it begins and
// reads it to stop its template loop.
class FailureFlag {
 public:
  void raise() { raised_ = true; }
  void clear() { raised_ = false; }
  bool raised() const { return raised_; }

 private:
  bool raised_ = false;
};

}  // namespace platform
