// Runs a program as a user would.
#include "tests/support/process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "tests/support/files.hpp"

extern char** environ;

namespace testsupport {

namespace {

// The current environment changed by env; an empty value removes the variable.
std::vector<std::string> environment_with(const std::map<std::string, std::string>& env) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    vars[entry.substr(0, eq)] = eq == std::string::npos ? "" : entry.substr(eq + 1);
  }
  for (const auto& [name, value] : env) {
    if (value.empty()) {
      vars.erase(name);
    } else {
      vars[name] = value;
    }
  }
  std::vector<std::string> envText;
  for (const auto& [name, value] : vars) envText.push_back(name + "=" + value);
  return envText;
}

// argv-style pointers into texts, ending in a null pointer.
std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv,
                          const std::map<std::string, std::string>& env) {
  std::vector<std::string> envText = environment_with(env);
  std::vector<std::string> argvCopy = argv;
  const std::vector<char*> envp = pointers(envText), args = pointers(argvCopy);

  // Output goes to files, so that a chatty child never blocks on a full pipe.
  TempDir dir;
  const std::string outPath = (dir.path() / "out").string();
  const std::string errPath = (dir.path() / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  ProcessResult result;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = read_file(outPath);
  result.err = read_file(errPath);
  return result;
}

std::vector<std::string> as_ordinary_user(std::vector<std::string> argv) {
  if (::geteuid() != 0) return argv;
  std::vector<std::string> dropped = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
  dropped.insert(dropped.end(), argv.begin(), argv.end());
  return dropped;
}

RunningProcess::RunningProcess(const std::vector<std::string>& argv,
                               const std::map<std::string, std::string>& env) {
  std::vector<std::string> envText = environment_with(env);
  std::vector<std::string> argvCopy = argv;
  const std::vector<char*> envp = pointers(envText), args = pointers(argvCopy);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), envp.data()) == 0) pid_ = pid;
}

RunningProcess::~RunningProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
