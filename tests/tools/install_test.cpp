// `cmake --install` puts both programs and the desktop entry where a desktop finds them.
#include <gtest/gtest.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;

TEST(Install, PutsTheProgramsAndTheDesktopEntryUnderThePrefix) {
  TempDir prefix;
  const ProcessResult run =
      run_process({CMAKE_COMMAND, "--install", BUILD_DIR, "--prefix", prefix.path().string()});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  for (const char* program : {"bin/fid-song", "bin/fid-song-cli"}) {
    const auto status = std::filesystem::status(prefix.path() / program);
    EXPECT_TRUE(std::filesystem::is_regular_file(status)) << program;
    EXPECT_NE(status.permissions() & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
  }
  const std::string entry = read_file(prefix.path() / "share/applications/fid-song.desktop");
  EXPECT_NE(entry.find("Exec=fid-song %F\n"), std::string::npos) << entry;
}

}  // namespace
