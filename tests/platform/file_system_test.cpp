// File operations by path: copies, deletions, folders and wildcard listing.
#include "platform/file_system.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

namespace fs = std::filesystem;
using testsupport::read_file;
using testsupport::write_file;

class FileSystemTest : public ::testing::Test {
 protected:
  fs::path at(const std::string& name) const { return dir.path() / name; }
  testsupport::TempDir dir;
  platform::FileSystem files{platform::Drive(dir.path() / "drive_c")};
};

TEST_F(FileSystemTest, CopyReplacesTheDestinationAndAFailedCopyLeavesItAlone) {
  write_file(at("a"), "new");
  write_file(at("b"), "previous");
  EXPECT_TRUE(files.copy_file(at("a").string(), at("b").string()));
  EXPECT_EQ(read_file(at("b")), "new");
  EXPECT_FALSE(files.failures().raised());

  EXPECT_FALSE(files.copy_file(at("missing").string(), at("b").string()));
  EXPECT_TRUE(files.copy_file(at("b").string(), at("b").string())) << "onto itself: the same bytes";
  EXPECT_FALSE(files.copy_file(at("b").string(), "D:\\b")) << "no such drive";
  EXPECT_EQ(read_file(at("b")), "new");
  EXPECT_TRUE(files.failures().raised());
}

TEST_F(FileSystemTest, OnlyRegularFilesAreCopiedAndAFailedCopyLeavesTheDestinationWhole) {
  write_file(at("b"), "previous");
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  fs::create_directory(at("folder"));
  const struct {
    std::string from;
    std::string reason;
  } refused[] = {
      {at("fifo").string(), "Not a regular file"},  // would wait for a writer for ever
      {"/dev/zero", "Not a regular file"},          // would never end
      {at("folder").string(), "Is a directory"},
      {at("missing").string(), "No such file or directory"},
  };
  for (const auto& [from, reason] : refused) {
    const platform::Status status = files.copy_file(from, at("b").string());
    EXPECT_FALSE(status) << from;
    EXPECT_EQ(status.reason(), reason) << from;
  }
  EXPECT_EQ(read_file(at("b")), "previous");

  // A copy that the file system stops half way: the destination keeps its old bytes, and
  // no temporary file is left beside it.
  write_file(at("big"), std::string(100000, 'x'));
  const int error = testsupport::with_file_size_limit(1000, [&] {
    return files.copy_file(at("big").string(), at("b").string()).error();
  });
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(read_file(at("b")), "previous");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 5) << "a, b, big, fifo, folder";
}

TEST_F(FileSystemTest, ACopyOfAWriteProtectedFileCanBeReplacedAndOpenedLater) {
  write_file(at("protected"), "fid");
  fs::permissions(at("protected"), fs::perms::owner_read | fs::perms::group_read);
  ASSERT_TRUE(files.copy_file(at("protected").string(), "C:\\fid"));
  const auto mode = fs::status(files.drive().resolve("C:\\fid")).permissions();
  EXPECT_NE(mode & fs::perms::owner_write, fs::perms::none);
}

TEST_F(FileSystemTest, DeleteAndCreateFailWhereTheyHaveNothingToDo) {
  write_file(at("f"), "x");
  EXPECT_TRUE(files.delete_file(at("f").string()));
  EXPECT_FALSE(files.delete_file(at("f").string()));
  fs::create_directory(at("folder"));
  EXPECT_FALSE(files.delete_file(at("folder").string())) << "a folder is no file";
  EXPECT_TRUE(fs::exists(at("folder")));

  EXPECT_TRUE(files.create_folder("C:\\temp"));
  EXPECT_FALSE(files.create_folder("C:\\temp")) << "exists";
  EXPECT_FALSE(files.create_folder("C:\\nowhere\\deeper")) << "parent missing";
  EXPECT_TRUE(files.failures().raised());
}

TEST_F(FileSystemTest, ReadingAFilesStartNeedsAReadableRegularFileAndRaisesNothing) {
  write_file(at("f"), "12345");
  EXPECT_EQ(files.read_start(at("f").string(), 100), "12345");
  EXPECT_EQ(files.read_start(at("f").string(), 3), "123") << "no more than asked for";
  EXPECT_EQ(files.read_start(at("missing").string(), 100), "");
  EXPECT_EQ(files.read_start(dir.path().string(), 100), "");
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  EXPECT_EQ(files.read_start(at("fifo").string(), 100), "") << "not waited on";
  EXPECT_FALSE(files.failures().raised());
  EXPECT_EQ(files.length_of(at("f").string()), 5);
  EXPECT_EQ(files.length_of(at("missing").string()), -1);
}

TEST_F(FileSystemTest, FirstMatchListsOrdinaryVisibleFilesWithoutRegardToCase) {
  const fs::path pdata = at("1/pdata/1");
  fs::create_directories(pdata / "folder.ps");
  write_file(pdata / ".hidden.ps", "");
  write_file(pdata / "title", "");
  write_file(pdata / "Plot.PS", "");
  const std::string folder = pdata.string() + "/";
  EXPECT_EQ(files.first_match(folder + "*.ps"), "Plot.PS");
  EXPECT_EQ(files.first_match(folder + "?itle"), "title");
  EXPECT_EQ(files.first_match(folder + "*.eps"), "");
  EXPECT_EQ(files.first_match(at("no/such/folder/*.ps").string()), "");
  EXPECT_EQ(files.first_match(folder), "") << "a folder path names no file";
}

TEST(WildcardMatch, StarsAndQuestionMarksOnly) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.ps", "a.ps", true},     {"*.ps", "A.PS", true},     {"*.ps", "a.psx", false},
      {"*.ps", ".ps", true},      {"*", "", true},            {"?", "", false},
      {"a*b*c", "aXbYbc", true},  {"a*b*c", "aXbYc", true},   {"a*b*c", "acb", false},
      {"[ab].ps", "[ab].ps", true}, {"[ab].ps", "a.ps", false}, {"fid", "FID", true},
  };
  for (const auto& [pattern, name, matches] : cases) {
    EXPECT_EQ(platform::wildcard_match(pattern, name), matches) << pattern << " ~ " << name;
  }
}

}  // namespace
