// The buffered file: positions, end-of-file, short reads, failures and buffer boundaries.
#include "platform/binary_file.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/status.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using platform::BinaryFile;
using platform::FailureFlag;
using testsupport::read_file;
using testsupport::TempDir;
using testsupport::write_file;

// A big-endian 32-bit word through read(): whatever a read leaves in the word's bytes is
// what the word then holds.
void read_word(BinaryFile& file, std::int32_t& word) {
  std::string bytes = testsupport::be32(word);
  file.read(bytes.data(), 4);
  word = 0;
  for (const char b : bytes) word = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) << 8 | static_cast<unsigned char>(b));
}

class BinaryFileTest : public ::testing::Test {
 protected:
  BinaryFile open(const std::string& name, BinaryFile::Mode mode = BinaryFile::Mode::Binary) {
    return BinaryFile(dir.path() / name, mode, failures);
  }
  TempDir dir;
  FailureFlag failures;
};

TEST_F(BinaryFileTest, BinaryOpenCreatesAMissingFileWhoseFirstReadFindsNothing) {
  BinaryFile file = open("new");
  ASSERT_TRUE(std::filesystem::exists(dir.path() / "new"));
  EXPECT_FALSE(file.eof());
  char bytes[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(file.read(bytes, 4), 0u);
  EXPECT_TRUE(file.eof());
  EXPECT_EQ(std::string(bytes, 4), std::string(4, '\0'));
  EXPECT_FALSE(failures.raised());
}

TEST_F(BinaryFileTest, ReadOnlyOpensReadAndCreateOnlyWhereAsked) {
  using Mode = BinaryFile::Mode;
  EXPECT_FALSE(open("missing", Mode::Reading).is_open());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
  EXPECT_TRUE(failures.raised());
  failures.clear();

  EXPECT_TRUE(open("created", Mode::ReadingCreated).is_open());
  EXPECT_EQ(read_file(dir.path() / "created"), "");
  // A dangling link is not followed: nothing appears where it points.
  std::filesystem::create_symlink(dir.path() / "elsewhere", dir.path() / "dangling");
  EXPECT_FALSE(open("dangling", Mode::ReadingCreated).is_open());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "elsewhere"));
  failures.clear();

  write_file(dir.path() / "kept", "abc");
  BinaryFile file = open("kept", Mode::ReadingCreated);
  char bytes[3];
  EXPECT_EQ(file.read(bytes, 3), 3u);
  file.write("xyz");
  file.close();
  EXPECT_TRUE(failures.raised()) << "a read-only file takes no writes";
  EXPECT_EQ(read_file(dir.path() / "kept"), "abc");
}

TEST_F(BinaryFileTest, EndOfFileTurnsTrueOnlyAfterAShortReadAndASetPositionClearsIt) {
  write_file(dir.path() / "f", testsupport::be32s({1, 2}) + "\x01\x02");
  BinaryFile file = open("f");
  std::int32_t word = 0;
  read_word(file, word);
  read_word(file, word);
  EXPECT_EQ(word, 2);
  EXPECT_FALSE(file.eof()) << "a read that ends at the last whole word";
  read_word(file, word);
  EXPECT_EQ(word, 0x01020000) << "missing bytes read as zeros";
  EXPECT_TRUE(file.eof());
  EXPECT_EQ(file.position(), 11);
  ASSERT_TRUE(file.set_position(5));
  EXPECT_FALSE(file.eof());
  read_word(file, word);
  EXPECT_EQ(word, 2);
  EXPECT_FALSE(failures.raised());
}

TEST_F(BinaryFileTest, AFileThatCannotBeOpenedFailsEveryOperationAndChangesNoTarget) {
  write_file(dir.path() / "plain", "x");
  BinaryFile file = open("plain/child");  // a file is no folder
  EXPECT_FALSE(file.is_open());
  EXPECT_TRUE(failures.raised());
  failures.clear();
  std::int32_t word = 77;
  read_word(file, word);
  EXPECT_EQ(word, 77);
  EXPECT_TRUE(failures.raised());
  EXPECT_TRUE(file.eof()) << "so that a read loop over it ends";
  failures.clear();
  file.write_le16(1);
  EXPECT_TRUE(failures.raised());
  failures.clear();
  EXPECT_FALSE(file.set_position(1));
  EXPECT_EQ(file.length(), -1);
}

TEST_F(BinaryFileTest, WordsAcrossBufferBoundariesAndWritesMixedWithReadsKeepTheirBytes) {
  // A word that straddles the end of the first buffer load.
  std::string bytes(BinaryFile::kBufferSize - 2, 'a');
  bytes += testsupport::be32(-123456789) + "tail";
  write_file(dir.path() / "f", bytes);
  BinaryFile file = open("f");
  std::string head(BinaryFile::kBufferSize - 2, '\0');
  file.read(head.data(), head.size());
  std::int32_t word = 0;
  read_word(file, word);
  EXPECT_EQ(word, -123456789);

  // Overwrite in the middle, grow the file past a buffer with one large write, then read
  // everything back through the same handle.
  ASSERT_TRUE(file.set_position(3));
  file.write("XY", 2);
  const std::string large(3 * BinaryFile::kBufferSize + 5, 'L');
  file.write(large.data(), large.size());
  ASSERT_TRUE(file.set_position(1));
  std::string all(4 + large.size(), '\0');
  EXPECT_EQ(file.read(all.data(), all.size()), all.size());
  EXPECT_EQ(all.substr(0, 5), "aaXYL");
  EXPECT_EQ(file.length(), static_cast<std::int64_t>(4 + large.size()));
  file.close();
  EXPECT_EQ(read_file(dir.path() / "f"), "aaXY" + large);
  EXPECT_FALSE(failures.raised());
}

TEST_F(BinaryFileTest, PositionsBelowOneFailAndPositionsBehindTheEndLeaveZerosAhead) {
  BinaryFile file = open("f");
  EXPECT_FALSE(file.set_position(0));
  EXPECT_FALSE(file.set_position(-5));
  EXPECT_TRUE(failures.raised());
  EXPECT_EQ(file.position(), 1);
  ASSERT_TRUE(file.set_position(4));
  file.write("z", 1);
  file.close();
  EXPECT_EQ(read_file(dir.path() / "f"), std::string("\0\0\0z", 4));
}

TEST_F(BinaryFileTest, SkipStopsAtTheEndWithEndOfFileAndRefusesANegativeCount) {
  write_file(dir.path() / "f", "0123456789");
  BinaryFile file = open("f");
  ASSERT_TRUE(file.skip(4));
  EXPECT_EQ(file.position(), 5);
  EXPECT_FALSE(file.eof());
  ASSERT_TRUE(file.skip(100));
  EXPECT_TRUE(file.eof());
  EXPECT_EQ(file.position(), 11);
  EXPECT_FALSE(failures.raised());
  EXPECT_FALSE(file.skip(-1));
  EXPECT_TRUE(failures.raised());
}

TEST_F(BinaryFileTest, WritingModeEmptiesTheFile) {
  write_file(dir.path() / "f", "old content that is longer");
  BinaryFile file = open("f", BinaryFile::Mode::Writing);
  file.write("new");
  file.close();
  EXPECT_EQ(read_file(dir.path() / "f"), "new");
}

TEST_F(BinaryFileTest, RecordsWrittenInPlaceAcrossBufferBoundariesMatchPlainWrites) {
  // Records of 1 to 13 bytes, 80000 of them: more than three buffers' worth.
  const auto record = [](int i) { return std::string(static_cast<std::size_t>(1 + i % 13), static_cast<char>('a' + i % 26)); };
  {
    BinaryFile plain = open("plain", BinaryFile::Mode::Writing);
    BinaryFile inPlace = open("in-place", BinaryFile::Mode::Writing);
    inPlace.write("x", 1);  // start off the buffer's alignment
    plain.write("x", 1);
    for (int i = 0; i < 80000; i += 100) {
      std::string block;
      for (int k = i; k < i + 100; ++k) block += record(k);
      plain.write(block);
      // Room for more than is written, as a formatter asks for its worst case.
      inPlace.write_in_place(block.size() + 50, [&](char* out) {
        std::memcpy(out, block.data(), block.size());
        return block.size();
      });
    }
  }
  EXPECT_TRUE(testsupport::same_bytes(read_file(dir.path() / "in-place"), read_file(dir.path() / "plain")));
  EXPECT_GT(std::filesystem::file_size(dir.path() / "plain"), 3 * BinaryFile::kBufferSize);

  BinaryFile unopened;
  unopened.write_in_place(4, [](char* out) {
    std::memcpy(out, "lost", 4);
    return std::size_t{4};
  });
  EXPECT_EQ(unopened.error(), EBADF);
}

TEST_F(BinaryFileTest, AWriteThatFailsKeepsItsReasonByTheTimeTheFileIsClosed) {
  const int error = testsupport::with_file_size_limit(4, [&] {
    BinaryFile file = open("limited", BinaryFile::Mode::Writing);
    file.write(" 10000\r\n");
    if (file.error() != 0) return 255;  // still in the buffer: no failure yet
    file.close();
    return failures.raised() ? file.error() : 0;
  });
  EXPECT_EQ(error, EFBIG) << "the system's reason, kept";
}

TEST_F(BinaryFileTest, AFolderADeviceOrAPipeIsNoFile) {
  ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  const struct {
    std::filesystem::path path;
    BinaryFile::Mode mode;
    int error;
  } cases[] = {
      {dir.path(), BinaryFile::Mode::Reading, EISDIR},
      {"/dev/zero", BinaryFile::Mode::Reading, platform::kNotRegularFile},
      {"/dev/null", BinaryFile::Mode::Writing, platform::kNotRegularFile},
      {dir.path() / "fifo", BinaryFile::Mode::Reading, platform::kNotRegularFile},  // no writer: would wait
      {dir.path() / "fifo", BinaryFile::Mode::ReadingCreated, platform::kNotRegularFile},
  };
  for (const auto& [path, mode, error] : cases) {
    BinaryFile file(path, mode, failures);
    EXPECT_FALSE(file.is_open()) << path;
    EXPECT_EQ(file.error(), error) << path;
  }
}

}  // namespace
