// Runs the real programs as a user would.
#include "tests/support/process.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>

namespace testsupport {

std::vector<std::string> as_ordinary_user(std::vector<std::string> argv) {
  if (::geteuid() != 0) return argv;
  std::vector<std::string> dropped = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
  dropped.insert(dropped.end(), argv.begin(), argv.end());
  return dropped;
}

std::optional<std::string> open_to_everyone(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  const fs::perms readable = fs::perms::group_read | fs::perms::others_read;
  const fs::perms enterable = readable | fs::perms::group_exec | fs::perms::others_exec;
  std::error_code ec;
  fs::permissions(folder, enterable, fs::perm_options::add, ec);
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_symlink()) continue;
    fs::permissions(it->path(), it->is_directory() ? enterable : readable, fs::perm_options::add, ec);
  }
  if (ec) return "cannot open " + folder.string() + " to others: " + ec.message();
  for (fs::path above = folder.parent_path(); !above.empty(); above = above.parent_path()) {
    const auto perms = fs::status(above, ec).permissions();
    if (ec || (perms & fs::perms::others_exec) == fs::perms::none) {
      return above.string() + " is closed to other users, so an ordinary user cannot reach " + folder.string();
    }
    if (above == above.root_path()) break;
  }
  return std::nullopt;
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

namespace {

// A line "Key:   N kB" of /proc/self/status; -1 when it is not there.
long status_kib(const char* key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + std::strlen(key), nullptr, 10);
  }
  return -1;
}

}  // namespace

std::optional<long> peak_memory_growth_kib(const std::function<void()>& work) {
  int channel[2];
  if (::pipe(channel) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    // The peak starts again from what the child holds now (the parent's high-water mark
    // came with the fork).
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = status_kib("VmRSS:");
    work();
    const long peak = status_kib("VmHWM:");
    const long growth = before < 0 || peak < 0 ? -1 : peak - before;
    const bool written = ::write(channel[1], &growth, sizeof growth) == static_cast<ssize_t>(sizeof growth);
    ::_exit(written ? 0 : 1);
  }
  ::close(channel[1]);
  long growth = -1;
  const bool read = child > 0 && ::read(channel[0], &growth, sizeof growth) == static_cast<ssize_t>(sizeof growth);
  ::close(channel[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  if (!read || growth < 0) return std::nullopt;
  return growth;
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

int RunningProcess::signal_and_wait(int signal) {
  int status = 0;
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return status;
}

RunningProcess::~RunningProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
