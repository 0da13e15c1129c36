// Remembers that an operation failed, for routines that resume after errors.
#pragma once

#include <atomic>

namespace platform {

// Raised by every failed file operation; a sound request clears it when it begins and
// reads it to stop its template loop.
// Atomic, as a conversion writes its listing on a thread of its own.
class FailureFlag {
 public:
  void raise() { raised_.store(true, std::memory_order_relaxed); }
  void clear() { raised_.store(false, std::memory_order_relaxed); }
  bool raised() const { return raised_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> raised_{false};
};

}  // namespace platform
