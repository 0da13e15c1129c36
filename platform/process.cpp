// Facts about the running process, and running other programs.
#include "platform/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/interruption.hpp"

extern char** environ;

namespace platform {
namespace {

// This process's environment changed by env.
std::vector<std::string> environment_with(const std::map<std::string, std::string>& env) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : env) {
    if (value.empty()) {
      vars.erase(name);
    } else {
      vars[name] = value;
    }
  }
  std::vector<std::string> texts;
  for (const auto& [name, value] : vars) texts.push_back(name + "=" + value);
  return texts;
}

// argv-style pointers into texts, ending in a null pointer.
std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

pid_t spawn(std::vector<std::string> argv, const std::map<std::string, std::string>& env,
            const posix_spawn_file_actions_t* actions) {
  if (argv.empty()) return -1;
  std::vector<std::string> envText = environment_with(env);
  const std::vector<char*> envp = pointers(envText), args = pointers(argv);
  // The program gets the signals this one started with, not the ones it keeps blocked
  // for its own handling.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  const sigset_t mask = startup_signal_mask();
  posix_spawnattr_setsigmask(&attributes, &mask);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int spawned = ::posix_spawnp(&pid, args[0], actions, &attributes, args.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  return spawned == 0 ? pid : -1;
}

// Reads the pipes until all are closed, each into its text.
void drain(std::vector<std::pair<int, std::string*>> pipes) {
  while (!pipes.empty()) {
    std::vector<pollfd> fds;
    for (const auto& [fd, text] : pipes) fds.push_back({fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
    for (std::size_t i = fds.size(); i-- > 0;) {
      if (fds[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        pipes[i].second->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        pipes.erase(pipes.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
}

}  // namespace

std::string executable_folder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string{} : exe.parent_path().string();
}

pid_t start_process(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  return spawn(argv, env, nullptr);
}

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  // Standard output, standard error and GNU time's report (on descriptor 3).
  int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
  const int used = options.measurePeak ? 3 : options.capture ? 2 : 0;
  for (int i = 0; i < used; ++i) {
    if (::pipe2(pipes[i], O_CLOEXEC) != 0) return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  for (int fd = 1; fd <= 2; ++fd) {
    if (options.capture) {
      posix_spawn_file_actions_adddup2(&actions, pipes[fd - 1][1], fd);
    } else {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
    }
  }
  std::vector<std::string> args = argv;
  if (options.measurePeak) {
    posix_spawn_file_actions_adddup2(&actions, pipes[2][1], 3);
    args.insert(args.begin(), {"time", "-f", "%M", "-o", "/dev/fd/3"});
  }
  const pid_t pid = spawn(args, options.env, &actions);
  posix_spawn_file_actions_destroy(&actions);

  std::string report;
  std::vector<std::pair<int, std::string*>> reading;
  std::string* into[3] = {&result.out, &result.err, &report};
  for (int i = 0; i < used; ++i) {
    ::close(pipes[i][1]);
    if (options.capture || i == 2) {
      reading.emplace_back(pipes[i][0], into[i]);
    } else {
      ::close(pipes[i][0]);
    }
  }
  drain(reading);  // closes them
  if (pid < 0) return result;

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  // GNU time reports a failing program's status on a line of its own before the figure.
  while (!report.empty() && report.back() == '\n') report.pop_back();
  if (!report.empty()) result.peakKib = std::strtol(report.c_str() + report.rfind('\n') + 1, nullptr, 10);
  return result;
}

}  // namespace platform
