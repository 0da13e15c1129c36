// Runs the real programs as a user would, for tests.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process.hpp"

namespace testsupport {

using platform::ProcessResult;
using platform::run_process;

// argv run as an ordinary user, for whom file permissions hold: under root (as CI runs),
// through setpriv as nobody; otherwise unchanged.
std::vector<std::string> as_ordinary_user(std::vector<std::string> argv);

// Opens folder and what it holds to every user (folders enterable, files readable), so
// that an ordinary user can reach what was copied into it, whatever folder the checkout
// lies in. Says why such a user still cannot (a folder above it closed to others), or
// nothing when they can.
std::optional<std::string> open_to_everyone(const std::filesystem::path& folder);

// argv run with its files limited to limit bytes (a write past it fails with EFBIG), as
// on a disk that has no more room.
std::vector<std::string> as_limited(std::size_t limit, std::vector<std::string> argv);

// Runs work in a child process whose files may not grow beyond limit bytes (a write past
// it fails with EFBIG, as a full disk fails with ENOSPC), and returns what work returned
// (0 to 255); -1 when the child did not end normally.
int with_file_size_limit(std::size_t limit, const std::function<int()>& work);

// Runs work in a child process and returns how far its resident memory rose at its peak
// above what the child held when work began, in KiB; nothing when that cannot be told.
std::optional<long> peak_memory_growth_kib(const std::function<void()>& work);

// A program left running: started at construction, ended (SIGTERM) at destruction.
class RunningProcess {
 public:
  RunningProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {})
      : pid_(platform::start_process(argv, env)) {}
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  bool started() const { return pid_ > 0; }
  // Sends it signal and waits for its end: the wait status (see waitpid).
  int signal_and_wait(int signal);
  // Whether it ended within limit (and then it is gone).
  bool ends_within(std::chrono::milliseconds limit);

 private:
  int pid_ = -1;
};

}  // namespace testsupport
