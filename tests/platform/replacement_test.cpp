// Files replaced whole or not at all.
#include "platform/replacement.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(ReplacementTest, WhenTheNewFileCannotTakeItsPlaceThePreviousOneStepsBack) {
  write_file(at("final"), "previous");
  platform::Replacement replacement(at("final"), failures);
  replacement.file().write("new");
  // The rename fails: the new file is taken away first, as another program could.
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (entry.path().filename().string().starts_with(".final.part-")) fs::remove(entry.path());
  }
  EXPECT_EQ(replacement.commit().reason(), "No such file or directory");
  EXPECT_EQ(read_file(at("final")), "previous");
  EXPECT_EQ(files_in_folder(), 1u) << "no stepped-aside file stays";
}

TEST(LeftoverName, TellsTemporaryFilesByTheirSuffixWhateverTheFinalNameHolds) {
  const struct {
    const char* name;
    const char* finalName;  // null: not a temporary file
    bool aside;
  } cases[] = {
      {".fid.part-123-0", "fid", false},
      {".fid.wav.part-123-4-previous", "fid.wav", true},
      {".a.part-1-2.part-77-0", "a.part-1-2", false},
      {".fid.part-12", nullptr, false},
      {".fid.part-x-1", nullptr, false},
      {".fid.part-1-2-later", nullptr, false},
      {"fid.part-1-2", nullptr, false},
      {"..part-1-2", nullptr, false},
      {".fid-song.lock", nullptr, false},
      {"fid.wav", nullptr, false},
  };
  for (const auto& [name, finalName, aside] : cases) {
    const auto parts = platform::leftover_name(name);
    ASSERT_EQ(parts.has_value(), finalName != nullptr) << name;
    if (!parts) continue;
    EXPECT_EQ(parts->finalName, finalName) << name;
    EXPECT_EQ(parts->steppedAside, aside) << name;
  }
  EXPECT_EQ(platform::leftover_name(".fid.wav.part-123-4-previous")->temporaryName, ".fid.wav.part-123-4");
}

TEST_F(ReplacementTest, LeftoversOfWritersThatAreGoneAreDealtWithAndLiveOnesKept) {
  // Left by writers that ended without cleaning up: nobody holds their locks.
  write_file(at("fid.wav"), "sound");
  write_file(at(".fid.wav.part-999999-0"), "half a sound");
  // Killed between its two renames: the previous listing aside, its name empty.
  write_file(at(".fid.xls.part-999999-1"), "the whole new listing");
  write_file(at(".fid.xls.part-999999-1-previous"), "listing");
  // Killed just after its rename: the new title in place, the previous one aside.
  write_file(at("title"), "new title");
  write_file(at(".title.part-999999-2-previous"), "old title");
  // A writer that runs: this one.
  platform::Replacement live(at("acqus"), failures);
  live.file().write("parameters");

  EXPECT_EQ(platform::remove_leftovers(dir.path()), 4);
  EXPECT_EQ(read_file(at("fid.wav")), "sound");
  EXPECT_EQ(read_file(at("fid.xls")), "listing") << "stepped back into its empty name";
  EXPECT_EQ(read_file(at("title")), "new title");
  EXPECT_EQ(files_in_folder(), 4u) << "fid.wav, fid.xls, title and the live writer's file";
  EXPECT_TRUE(live.commit());
  EXPECT_EQ(read_file(at("acqus")), "parameters");
}

TEST_F(ReplacementTest, AnEndingProgramLeavesNoTemporaryFileAndThePreviousFileWhole) {
  write_file(at("final"), "previous");
  const pid_t child = ::fork();
  if (child == 0) {
    platform::FailureFlag flag;
    platform::Replacement replacement(at("final"), flag);
    replacement.file().write("half");
    platform::abandon_replacements();
    ::_exit(0);  // as a signal would end it: no destructor runs
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(read_file(at("final")), "previous");
  EXPECT_EQ(files_in_folder(), 1u);
}

}  // namespace
