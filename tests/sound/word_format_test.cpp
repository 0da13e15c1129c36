// Reading the word format and other values out of a dataset's parameter files.
#include "sound/word_format.hpp"

#include <gtest/gtest.h>

#include "sound/parameters.hpp"
#include "sound/sound_request.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
using sound::ByteOrder;
using sound::WordFormat;
using sound::WordType;

constexpr WordFormat kClassic{};
constexpr WordFormat kLittle32{ByteOrder::Little, WordType::Int32};
constexpr WordFormat kBig64{ByteOrder::Big, WordType::Float64};
constexpr WordFormat kLittle64{ByteOrder::Little, WordType::Float64};

TEST(WordFormat, ComesFromTheTwoKeysAndAnythingElseIsTheClassicReading) {
  const struct {
    const char* acqus;
    WordFormat expected;
  } cases[] = {
      {"", kClassic},
      {"##TITLE= no keys\n##$TD= 65536\n##END=\n", kClassic},
      {"##$BYTORDA= 0\n", kLittle32},
      {"##$BYTORDA= 1\n##$DTYPA= 0\n", kClassic},
      {"##$DTYPA= 2\n", kBig64},
      {"##$TD= 8\r\n##$BYTORDA=   0  \r\n##$DTYPA=\t2\r\n", kLittle64},
      {"##$BYTORDA=0\n##$DTYPA=2", kLittle64},  // no blank, no last line end
      {"##$BYTORDA= 0.0\n##$DTYPA= 2x\n", kClassic},
      {"##$BYTORDA= \n##$DTYPA= 1\n", kClassic},
      {"##$BYTORDAX= 0\n##$DTYPA2= 2\n", kClassic},  // other keys that start alike
      {" ##$BYTORDA= 0\n$$ ##$DTYPA= 2\n", kClassic},  // not at a line's start
      {"##$BYTORDA= 0\n##$BYTORDA= 1\n", kLittle32},   // the first line counts
  };
  for (const auto& [acqus, expected] : cases) {
    EXPECT_EQ(sound::word_format(acqus), expected) << acqus;
  }
}

TEST(Parameters, RealAndIntegerValuesAreWholeNumbersOrNothing) {
  const std::string procs = "##$SI= 32768\n##$OFFSET= -15.47866\n##$SF= 3.0013e2\n##$NUC1= <1H>\n";
  EXPECT_EQ(sound::integer_parameter(procs, "SI"), 32768);
  EXPECT_EQ(sound::real_parameter(procs, "OFFSET"), -15.47866);
  EXPECT_EQ(sound::real_parameter(procs, "SF"), 300.13);
  EXPECT_EQ(sound::integer_parameter(procs, "OFFSET"), std::nullopt);
  EXPECT_EQ(sound::real_parameter(procs, "NUC1"), std::nullopt);
  EXPECT_EQ(sound::parameter_text(procs, "NUC1"), "<1H>");
  EXPECT_EQ(sound::real_parameter("##$X= 1e999\n", "X"), std::nullopt) << "not finite";
  EXPECT_EQ(sound::integer_parameter(procs, "MISSING"), std::nullopt);
}

TEST(WordFormat, EachSoundRequestReadsItFromTheScratchParameters) {
  Workbench bench;
  common::FormMemory memory;
  // Little-endian 32-bit words: 80 of lead-in, then pairs whose second word is 256.
  std::vector<double> fid(80, 0);
  for (int i = 0; i < 60; ++i) fid.insert(fid.end(), {0, 256});
  write_file(bench.scratch("fid"), words(kLittle32, fid));
  const auto first_line = [&] {
    const std::string listing = read_file(bench.scratch("fid.xls"));
    return listing.substr(0, listing.find('\n') + 1);
  };

  write_file(bench.scratch("acqus"), "##$BYTORDA= 0\n");
  ASSERT_TRUE(sound::createsound(bench.services, memory, "fid", 0, 0).played());
  EXPECT_EQ(first_line(), " 7680\r\n") << "256 / 1000 * 30000";
  ASSERT_TRUE(sound::createsound(bench.services, memory, "tone", 440, 445).played());
  EXPECT_EQ(read_file(bench.scratch("fid.wav")).size(), 52u + 24 + 2 * 60) << "60 pairs";

  write_file(bench.scratch("acqus"), "##$BYTORDA= 0\n##$DTYPA= 2\n");
  ASSERT_TRUE(sound::createsound(bench.services, memory, "tone", 440, 445).played());
  EXPECT_EQ(read_file(bench.scratch("fid.wav")).size(), 52u + 24 + 2 * 10)
      << "(800 - 640) bytes in pairs of 16";

  std::filesystem::remove(bench.scratch("acqus"));
  ASSERT_TRUE(sound::createsound(bench.services, memory, "fid", 0, 0).played());
  EXPECT_EQ(first_line(), " 30000\r\n") << "big-endian: 0x00010000 sets the scale and sounds";
  EXPECT_FALSE(bench.files.failures().raised()) << "no parameters is no failure";
}

}  // namespace
