// Files replaced whole or not at all.
#include "platform/replacement.hpp"

#include <gtest/gtest.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

namespace fs = std::filesystem;
using testsupport::read_file;
using testsupport::write_file;

class ReplacementTest : public ::testing::Test {
 protected:
  fs::path at(const std::string& name) const { return dir.path() / name; }
  std::size_t files_in_folder() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {})); }
  testsupport::TempDir dir;
  platform::FailureFlag failures;
};

TEST_F(ReplacementTest, TheNewContentTakesThePlaceOnlyOnCommit) {
  write_file(at("final"), "previous");
  platform::Replacement replacement(at("final"), failures);
  replacement.file().write("new");
  EXPECT_EQ(read_file(at("final")), "previous") << "not yet";
  EXPECT_TRUE(replacement.commit());
  EXPECT_EQ(read_file(at("final")), "new");
  EXPECT_EQ(files_in_folder(), 1u) << "neither the new file's first name nor the previous file stays";
  EXPECT_FALSE(failures.raised());

  { platform::Replacement abandoned(at("final"), failures); abandoned.file().write("never"); }
  EXPECT_EQ(read_file(at("final")), "new");
  EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(ReplacementTest, AFailedWriteOrAFolderInThePlaceLeavesWhatWasThere) {
  write_file(at("final"), "previous");
  const int error = testsupport::with_file_size_limit(4, [&] {
    platform::Replacement replacement(at("final"), failures);
    replacement.file().write("longer than four bytes");
    return replacement.commit().error();
  });
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(read_file(at("final")), "previous");

  fs::create_directory(at("folder"));
  platform::Replacement replacement(at("folder"), failures);
  replacement.file().write("x");
  EXPECT_EQ(replacement.commit().reason(), "Is a directory");
  EXPECT_TRUE(fs::is_directory(at("folder")));
  EXPECT_EQ(files_in_folder(), 2u);
  EXPECT_TRUE(failures.raised());
}

}  // namespace
