// The Makefile configures its build folder again when an option changes.
#include <gtest/gtest.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;

// make in the source folder, without the options of a make that may have started these
// tests (it passes them down in the environment).
ProcessResult make(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"make", "-C", SOURCE_DIR});
  return run_process(arguments, {.env = {{"MAKEFLAGS", ""}, {"MFLAGS", ""}, {"MAKELEVEL", ""},
                                         {"BUILD_DIR", ""}, {"CMAKE_BUILD_TYPE", ""},
                                         {"SANITIZE", ""}, {"WERROR", ""}}});
}

// Whether "make build" with these options would run CMake's configure step on folder.
bool configures(const std::filesystem::path& folder, const std::vector<std::string>& options) {
  std::vector<std::string> arguments = {"-n", "build", "BUILD_DIR=" + folder.string()};
  arguments.insert(arguments.end(), options.begin(), options.end());
  const ProcessResult run = make(arguments);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out.find("cmake -S") != std::string::npos;
}

TEST(Makefile, ConfiguresAgainWhenTheBuildTypeSanitizersOrWarningsChange) {
  TempDir folder;
  EXPECT_TRUE(configures(folder.path(), {})) << "a new folder";
  // As if configured with the defaults.
  ASSERT_EQ(make({"-t", "build", "BUILD_DIR=" + folder.path().string()}).status, 0);
  EXPECT_FALSE(configures(folder.path(), {}));
  EXPECT_FALSE(configures(folder.path(), {"CMAKE_BUILD_TYPE=RelWithDebInfo", "WERROR=OFF"}));
  for (const char* changed : {"CMAKE_BUILD_TYPE=Debug", "SANITIZE=address,undefined", "WERROR=ON"}) {
    EXPECT_TRUE(configures(folder.path(), {changed})) << changed;
  }
}

}  // namespace
