// The buffered file: positions, end-of-file, short reads, failures and buffer boundaries.
#include "platform/binary_file.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "tests/support/files.hpp"

namespace {

using platform::BinaryFile;
using platform::FailureFlag;
using testsupport::read_file;
using testsupport::TempDir;
using testsupport::write_file;

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
  file.read_be32(word);
  file.read_be32(word);
  EXPECT_EQ(word, 2);
  EXPECT_FALSE(file.eof()) << "a read that ends at the last whole word";
  file.read_be32(word);
  EXPECT_EQ(word, 0x01020000) << "missing bytes read as zeros";
  EXPECT_TRUE(file.eof());
  EXPECT_EQ(file.position(), 11);
  ASSERT_TRUE(file.set_position(5));
  EXPECT_FALSE(file.eof());
  file.read_be32(word);
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
  file.read_be32(word);
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
  file.read_be32(word);
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

TEST_F(BinaryFileTest, WritingModeEmptiesTheFileAndWritesNumberLines) {
  write_file(dir.path() / "f", "old content that is longer");
  BinaryFile file = open("f", BinaryFile::Mode::Writing);
  for (const std::int32_t v : {0, 42, -7, 2147483647, -2147483647 - 1}) file.write_line(v);
  file.close();
  EXPECT_EQ(read_file(dir.path() / "f"),
            " 0\r\n 42\r\n-7\r\n 2147483647\r\n-2147483648\r\n");
}

TEST(DecimalLine, MatchesPlainFormattingForEveryLengthAndSign) {
  std::vector<std::int32_t> values = {2147483647, -2147483647 - 1, 99999999,  100000000,
                                      -99999999,  -100000000,     999999999, 1000000000};
  for (std::int32_t v = -200000; v <= 200000; ++v) values.push_back(v);
  for (std::int64_t v = 1; v < 2147483647; v = v * 3 + 7) {
    values.push_back(static_cast<std::int32_t>(v));
    values.push_back(static_cast<std::int32_t>(-v));
  }
  for (const std::int32_t v : values) {
    char line[platform::kDecimalLineRoom];
    const std::size_t n = platform::format_decimal_line(line, v);
    char expected[32];
    const int m = std::snprintf(expected, sizeof expected, "%c%u\r\n", v < 0 ? '-' : ' ',
                                v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v));
    ASSERT_EQ(std::string(line, n), std::string(expected, static_cast<std::size_t>(m))) << v;
  }
}

TEST_F(BinaryFileTest, BlocksOfLinesAcrossBufferBoundariesMatchLinesOneByOne) {
  std::vector<std::int32_t> values;
  for (int i = 0; i < 40000; ++i) values.push_back((i % 7 == 0 ? -1 : 1) * i * i);
  {
    BinaryFile one = open("one", BinaryFile::Mode::Writing);
    BinaryFile block = open("block", BinaryFile::Mode::Writing);
    for (const auto v : values) one.write_line(v);
    block.write("x", 1);  // start off the buffer's alignment
    block.write_lines(values.data(), values.size());
  }
  EXPECT_TRUE(testsupport::same_bytes(read_file(dir.path() / "block"),
                                      "x" + read_file(dir.path() / "one")));
  EXPECT_GT(std::filesystem::file_size(dir.path() / "one"), 3 * BinaryFile::kBufferSize);
}

TEST_F(BinaryFileTest, AWriteThatTheDiskRefusesRaisesTheFlagByTheTimeTheFileIsClosed) {
  std::filesystem::create_symlink("/dev/full", dir.path() / "full");
  BinaryFile file = open("full", BinaryFile::Mode::Writing);
  ASSERT_TRUE(file.is_open());
  file.write_line(1);
  file.close();
  EXPECT_TRUE(failures.raised());
}

}  // namespace
