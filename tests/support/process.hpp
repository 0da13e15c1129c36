// Runs a program as a user would, for tests of the real executables.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs argv[0] (searched on PATH) with the current environment changed by env (an empty
// value removes the variable), and waits for it to end.
ProcessResult run_process(const std::vector<std::string>& argv,
                          const std::map<std::string, std::string>& env = {});

// argv run as an ordinary user, for whom file permissions hold: under root (as CI runs),
// through setpriv as nobody; otherwise unchanged.
std::vector<std::string> as_ordinary_user(std::vector<std::string> argv);

// A program left running: started at construction, ended (SIGTERM) at destruction.
class RunningProcess {
 public:
  RunningProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  int pid_ = -1;
};

}  // namespace testsupport
