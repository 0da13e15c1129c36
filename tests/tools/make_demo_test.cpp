// The committed demo dataset is exactly what the generator makes.
#include <gtest/gtest.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;

TEST(MakeDemo, RegeneratingTheDemoGivesTheCommittedBytes) {
  TempDir dir;
  const auto made = dir.path() / "1";
  ASSERT_EQ(run_process({MAKE_DEMO, made.string()}).status, 0);
  const std::filesystem::path committed = DEMO_DIR "/1";
  for (const char* name : {"fid", "acqus", "pdata/1/title", "pdata/1/ethanol_1h.ps"}) {
    EXPECT_TRUE(same_bytes(read_file(made / name), read_file(committed / name))) << name;
  }
  EXPECT_EQ(std::filesystem::file_size(committed / "fid"), 262144u);
}

}  // namespace
