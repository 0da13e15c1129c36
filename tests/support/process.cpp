// Runs a program as a user would.
#include "tests/support/process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/files.hpp"

extern char** environ;

namespace testsupport {

ProcessResult run_process(const std::vector<std::string>& argv,
                          const std::map<std::string, std::string>& env) {
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
  std::vector<char*> envp, args;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argvCopy = argv;
  for (auto& a : argvCopy) args.push_back(a.data());
  args.push_back(nullptr);

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

}  // namespace testsupport
