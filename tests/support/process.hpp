// Runs the real programs as a user would, for tests.
#pragma once

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

// A program left running: started at construction, ended (SIGTERM) at destruction.
class RunningProcess {
 public:
  RunningProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {})
      : pid_(platform::start_process(argv, env)) {}
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  bool started() const { return pid_ > 0; }
  int pid() const { return pid_; }

 private:
  int pid_ = -1;
};

}  // namespace testsupport
