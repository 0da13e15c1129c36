// Runs the real programs as a user would.
#include "tests/support/process.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace testsupport {

std::vector<std::string> as_ordinary_user(std::vector<std::string> argv) {
  if (::geteuid() != 0) return argv;
  std::vector<std::string> dropped = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
  dropped.insert(dropped.end(), argv.begin(), argv.end());
  return dropped;
}

RunningProcess::~RunningProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
