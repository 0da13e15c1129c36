// The sound request: captions, replay speeds, the multiplier prompt and the finished files.
#include "sound/sound_request.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
using platform::Button;

class SoundRequestTest : public ::testing::Test {
 protected:
  SoundRequestTest() {
    write_file(bench.scratch("fid"), fid_with_pairs({{0, 500}, {0, -1000}, {0, 250}}));
  }
  sound::SoundResult request(const std::string& what, std::int16_t f1 = 0, std::int16_t f2 = 0) {
    return sound::createsound(bench.services, memory, what, f1, f2);
  }
  std::string wav() const { return read_file(bench.scratch("fid.wav")); }
  // The sample rate and byte rate fields of the finished file.
  std::string rates() const { return wav().substr(24, 8); }

  Workbench bench;
  common::FormMemory memory;
};

TEST_F(SoundRequestTest, ADatasetBecomesAWaveFileAListingAndASoundPlayed) {
  write_file(bench.scratch("title"), "Ethanol\r\n");
  const sound::SoundResult result = request("/data/ethanol/1/fid");
  EXPECT_TRUE(result.played());
  EXPECT_EQ(result.rate, 8278);
  EXPECT_EQ(result.samples, 3);
  EXPECT_DOUBLE_EQ(result.seconds(), 3 / 8278.0);
  EXPECT_EQ(result.format, bruker::WordFormat{}) << "no parameters: the classic reading";

  const std::string caption = "/data/ethanol/1/fid\rEthanol\r\n";
  EXPECT_EQ(bench.window.title_text, caption);
  EXPECT_EQ(memory.lastFidPath, "/data/ethanol/1/fid");
  // 19 + 1 + 9 caption bytes and " x 1": 33, padded with 7 blanks to 40.
  const std::string comment = caption + " x 1" + std::string(7, ' ');
  const std::string expected = "RIFF" + le32(44 + 40 + 6) + "WAVE" + "fmt " + le32(16) + le16(1) +
                               le16(1) + le32(8278) + le32(16556) + le16(2) + le16(16) + "fact" +
                               le32(40) + comment + "data" + le32(6) + le16(15000) + le16(-30000) +
                               le16(7500);
  EXPECT_TRUE(same_bytes(wav(), expected));
  EXPECT_EQ(read_file(bench.scratch("fid.xls")), " 15000\r\n-30000\r\n 7500\r\n");
  EXPECT_EQ(bench.media.played, std::vector<std::string>{"C:\\temp\\fid.wav"});
  EXPECT_TRUE(bench.window.enabled[Button::Command4]);
}

TEST_F(SoundRequestTest, CaptionsFollowTheKindOfRequest) {
  write_file(bench.scratch("title"), "T");
  request("fid");
  EXPECT_EQ(bench.window.title_text, "\rT") << "no dataset yet";
  request("/d/1/fid");
  request("fid");
  EXPECT_EQ(bench.window.title_text, "/d/1/fid\rT");
  bench.window.tones = {{platform::ToneBox::First, "abc"}, {platform::ToneBox::Second, "0"}};
  request("tone", 0, 0);
  EXPECT_EQ(bench.window.title_text, "abc and 0 Hz");
  EXPECT_EQ(memory.lastFidPath, "/d/1/fid");
  request("Tone");
  EXPECT_EQ(memory.lastFidPath, "Tone") << "compared exactly";
  std::filesystem::remove(bench.scratch("title"));
  request("fid");
  EXPECT_EQ(bench.window.title_text, "Tone\r");
}

TEST_F(SoundRequestTest, EachReplaySpeedKeptToTenthsSetsTheSampleRate) {
  const struct {
    const char* speed;
    std::int32_t fidRate, toneRate;
  } cases[] = {
      {"x 0.125", 828, 4410}, {"x 0.25", 1656, 8820},  {"x 0.5", 4139, 22050},
      {"x 1", 8278, 44100},   {"x 2", 16556, 88200},   {"x 3", 24834, 132300},
      {"x 1.25", 9934, 52920},  // 1.25 keeps 1.2: the tenths round to even
  };
  for (const auto& [speed, fidRate, toneRate] : cases) {
    bench.window.speed = speed;
    request("fid");
    EXPECT_EQ(rates(), le32(fidRate) + le32(fidRate * 2)) << speed;
    request("tone", 440, 445);
    EXPECT_EQ(rates(), le32(toneRate) + le32(toneRate * 2)) << speed;
  }
  EXPECT_TRUE(bench.window.prompts.empty());
}

TEST_F(SoundRequestTest, TheMultiplierPromptOffersTheLastAnswerWithADecimalPoint) {
  bench.window.speed = "x ?";
  bench.window.answers = {"2", "2.5", "2.5"};
  request("fid");
  EXPECT_EQ(rates(), le32(16556) + le32(33112));
  request("fid");
  request("tone");
  EXPECT_EQ(rates(), le32(110250) + le32(220500)) << "2.5 confirmed unchanged stays 2.5";
  ASSERT_EQ(bench.window.prompts.size(), 3u);
  EXPECT_EQ(bench.window.prompts[0].text, "Multiplier?");
  EXPECT_EQ(bench.window.prompts[0].default_answer, "1");
  EXPECT_EQ(bench.window.prompts[1].default_answer, "2");
  EXPECT_EQ(bench.window.prompts[2].default_answer, "2.5");

  bench.window.speed = "";  // an empty speed asks too
  request("fid");           // no answer queued: cancelled
  EXPECT_EQ(memory.customMultiplier, 0);
  bench.window.answers = {"3"};
  request("fid");
  EXPECT_EQ(bench.window.prompts.back().default_answer, "1") << "after a cancel, 1 again";
}

TEST_F(SoundRequestTest, ASpeedWithoutAPositiveRateEndsTheRequestBeforeAnyFileChanges) {
  request("/d/1/fid");
  const std::string before = wav();
  const std::string listing = read_file(bench.scratch("fid.xls"));
  bench.window.enabled.clear();
  bench.media.played.clear();

  bench.window.speed = "x ?";
  using Outcome = sound::SoundResult::Outcome;
  const struct {
    std::string answer;  // empty: cancelled
    double remembered;
    Outcome outcome;
  } cases[] = {{"", 0, Outcome::Cancelled},         {"0", 0, Outcome::NoPositiveRate},
               {"-1", -1, Outcome::NoPositiveRate}, {"abc", 0, Outcome::NotANumber},
               {"1e10", 1e10, Outcome::RateTooLarge}, {"x", 0, Outcome::NotANumber},
               {"0,5", 0, Outcome::NoPositiveRate}};
  for (const auto& [answer, remembered, outcome] : cases) {
    if (!answer.empty()) bench.window.answers = {answer};
    const sound::SoundResult result = request("/d/2/fid");
    EXPECT_EQ(memory.customMultiplier, remembered) << answer;
    EXPECT_EQ(result.outcome, outcome) << answer;
    EXPECT_EQ(result.answer, answer);
    EXPECT_FALSE(result.played());
  }
  bench.window.speed = "x -1";
  request("fid");
  EXPECT_EQ(memory.lastFidPath, "/d/2/fid") << "the new path is kept";
  EXPECT_EQ(bench.window.title_text, "/d/2/fid\r");
  EXPECT_EQ(wav(), before);
  EXPECT_EQ(read_file(bench.scratch("fid.xls")), listing);
  EXPECT_TRUE(bench.media.played.empty());
  EXPECT_FALSE(bench.window.enabled.count(Button::Command4)) << "left as it was";
}

TEST_F(SoundRequestTest, AMissingTitleDoesNotStopTheTemplateFromBeingRead) {
  // A template whose header only a full loop reaches: an unknown chunk comes first.
  write_file(bench.root.path() / "exe/fidsong.wav",
             "RIFF" + le32(0) + "WAVX" + "LIST" + le32(8) + "INFOxxxx" + "fmt " + le32(16) +
                 le16(1) + le16(1) + le32(22050) + le32(44100) + le16(2) + le16(16) + "data" +
                 le32(0));
  request("/no/title/fid");
  EXPECT_EQ(wav().substr(8, 4), "WAVX");
}

TEST_F(SoundRequestTest, AHugeTitleCostsNoMoreThanItsFirstMebibyte) {
  {
    // 1 GiB, sparse: no disk is used, but reading it whole would take 1 GiB of memory.
    std::ofstream(bench.scratch("title")) << "Ethanol";
    std::filesystem::resize_file(bench.scratch("title"), std::uintmax_t{1} << 30);
  }
  const std::string title = sound::loadfromfile(bench.files, "C:\\temp\\title");
  EXPECT_EQ(title.size(), 1u << 20);
  EXPECT_EQ(title.substr(0, 7), "Ethanol");
  ASSERT_TRUE(request("/d/1/fid").played());
  EXPECT_EQ(bench.window.title_text.size(), 9 + (1u << 20));
}

TEST_F(SoundRequestTest, LoadFromFileGivesTheWholeFileOrNothing) {
  write_file(bench.scratch("title"), std::string("a\0b\r\nc", 6));
  EXPECT_EQ(sound::loadfromfile(bench.files, "C:\\temp\\title"), std::string("a\0b\r\nc", 6));
  EXPECT_EQ(sound::loadfromfile(bench.files, "C:\\temp\\missing"), "");
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("missing")));
  EXPECT_FALSE(bench.files.failures().raised());
  write_file(bench.scratch("empty"), "");
  EXPECT_EQ(sound::loadfromfile(bench.files, "C:\\temp\\empty"), "");
}

TEST(WordFormat, EachSoundRequestReadsItFromTheScratchParameters) {
  Workbench bench;
  common::FormMemory memory;
  // Little-endian 32-bit words: 80 of lead-in, then pairs whose second word is 256.
  std::vector<double> fid(80, 0);
  for (int i = 0; i < 60; ++i) fid.insert(fid.end(), {0, 256});
  write_file(bench.scratch("fid"), words(bruker::WordFormat{bruker::ByteOrder::Little, bruker::WordType::Int32}, fid));
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
