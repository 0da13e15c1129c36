// Runs the real programs as a user would.
#include "tests/support/process.hpp"

#include <sys/resource.h>
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

std::vector<std::string> as_limited(std::size_t limit, std::vector<std::string> argv) {
  argv.insert(argv.begin(), {"prlimit", "--fsize=" + std::to_string(limit), "--"});
  return argv;
}

int with_file_size_limit(std::size_t limit, const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
    const rlimit size{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &size);
    ::_exit(work() & 0xff);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool RunningProcess::ends_within(std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (pid_ > 0) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= until) return false;
    ::usleep(10000);
  }
  return true;
}

RunningProcess::~RunningProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
