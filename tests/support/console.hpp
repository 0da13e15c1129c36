// fid-song-cli run as a user runs it, on a drive folder of its own.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace testsupport {

class Console {
 public:
  // The program with these arguments; XDG_DATA_HOME points at this console's folder.
  ProcessResult run(std::vector<std::string> args, std::map<std::string, std::string> env = {}) const {
    return run_process(argv(std::move(args)), {.env = environment(std::move(env))});
  }
  std::vector<std::string> argv(std::vector<std::string> args) const {
    args.insert(args.begin(), FID_SONG_CLI);
    return args;
  }
  std::map<std::string, std::string> environment(std::map<std::string, std::string> env = {}) const {
    env.emplace("XDG_DATA_HOME", xdg.path().string());
    return env;
  }
  std::filesystem::path scratch(const std::string& name) const {
    return xdg.path() / "fid-song/drive_c/temp" / name;
  }

  TempDir xdg;
};

}  // namespace testsupport
