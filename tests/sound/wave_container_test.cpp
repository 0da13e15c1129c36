// The WAVE layout: default header, comment padding, template reading and finishing.
#include "sound/wave_container.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
using sound::WaveHeaders;

std::string samples(int n) {
  std::string bytes;
  for (int i = 0; i < n; ++i) bytes += le16(static_cast<std::int16_t>(i - 3));
  return bytes;
}

// The file as the default header lays it out, computed field by field.
std::string default_file(std::int32_t rate, const std::string& paddedComment, int n) {
  const auto L = static_cast<std::int32_t>(paddedComment.size());
  return "RIFF" + le32(44 + L + 2 * n) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) +
         le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "fact" + le32(L) + paddedComment +
         "data" + le32(2 * n) + samples(n);
}

class WaveContainerTest : public ::testing::Test {
 protected:
  std::string template_path() const { return (bench.root.path() / "exe/fidsong.wav").string(); }

  // Reads the template (written first when given), then writes a whole file of n samples
  // the way a sound request does, and returns its bytes.
  std::string make(const std::optional<std::string>& templateBytes, const std::string& comment,
                   std::int32_t rate, int n, WaveHeaders* seen = nullptr) {
    if (templateBytes) write_file(template_path(), *templateBytes);
    WaveHeaders headers = sound::readtemplate(bench.files, template_path());
    if (seen) *seen = headers;
    bench.files.open_for_writing("C:\\temp\\fid.wav").close();
    {
      platform::BinaryFile wav = bench.files.open_binary("C:\\temp\\fid.wav");
      sound::writeheader(wav, headers, comment);
      const std::string body = samples(n);
      wav.write(body.data(), body.size());
      sound::finishheader(wav, headers, rate, n);
    }
    return read_file(bench.scratch("fid.wav"));
  }

  Workbench bench;
};

TEST_F(WaveContainerTest, DefaultHeaderPadsTheCommentToAMultipleOfEightNeverByZero) {
  const struct {
    std::string comment;
    std::string padded;
  } cases[] = {
      {"13 characters", "13 characters   "},
      {"sixteen chars!!!", "sixteen chars!!!        "},
      {"x", "x       "},
      {"/d/1/fid\rTitle\n x 1", "/d/1/fid\rTitle\n x 1     "},
  };
  for (const auto& [comment, padded] : cases) {
    EXPECT_TRUE(same_bytes(make(std::nullopt, comment, 8278, 5), default_file(8278, padded, 5)))
        << comment;
  }
  EXPECT_TRUE(std::filesystem::exists(template_path())) << "a missing template is left behind";
  EXPECT_EQ(read_file(template_path()), "");
}

TEST_F(WaveContainerTest, FinishingRewritesSizesThatWereWrongBefore) {
  WaveHeaders headers = sound::readtemplate(bench.files, template_path());
  headers.riff.size = 999;
  headers.dataHeader.size = 12345;
  headers.format.sampleRate = 7;
  headers.format.byteRate = 8;
  {
    platform::BinaryFile wav = bench.files.open_binary("C:\\temp\\fid.wav");
    sound::writeheader(wav, headers, "c");
    wav.write(samples(3).data(), 6);
    sound::finishheader(wav, headers, 4139, 3);
  }
  EXPECT_TRUE(same_bytes(read_file(bench.scratch("fid.wav")), default_file(4139, "c       ", 3)));
}

TEST_F(WaveContainerTest, SizesOfTwoToTheThirtyFirstOrMoreGoOutAsTheirBitsAndLargerOnesAreLeft) {
  WaveHeaders headers = sound::readtemplate(bench.files, template_path());
  headers.dataHeader.size = 77;
  platform::BinaryFile wav = bench.files.open_binary("C:\\temp\\fid.wav");
  sound::writeheader(wav, headers, "c");
  // 2147483600 samples: the data size is 4294967200, which WAVE readers take as unsigned.
  sound::finishheader(wav, headers, 8278, 2147483600);
  wav.close();
  EXPECT_EQ(read_file(bench.scratch("fid.wav")).substr(56, 4), "\xa0\xff\xff\xff");
  EXPECT_EQ(headers.dataHeader.size, static_cast<std::int32_t>(0xffffffa0u));
  // Beyond 32 bits there is no true size: the field stays as it was.
  sound::finishheader(wav, headers, 8278, 2147483648 + 10);
  EXPECT_EQ(headers.dataHeader.size, static_cast<std::int32_t>(0xffffffa0u));
}

TEST_F(WaveContainerTest, ANegativeRateGoesInAsItsTwosComplement) {
  const std::string file = make(std::nullopt, "c", -8278, 2);
  EXPECT_EQ(file.substr(24, 8), le32(-8278) + le32(-16556));
}

// Template pieces.
std::string riff(const std::string& formType = "WAVE") { return "RIFF" + le32(0) + formType; }
std::string fmt(std::int32_t size, const std::string& extra = "") {
  return "fmt " + le32(size) + le16(1) + le16(2) + le32(22050) + le32(88200) + le16(2) + le16(16) +
         extra;
}
std::string data(std::int32_t size) { return "data" + le32(size); }

TEST_F(WaveContainerTest, TemplatesSupplyTheHeaderUpToTheirDataChunk) {
  const std::string comment = "tone   ";
  const std::string padded = "tone    ";
  // The output when the template's header stands: its ids, its format values, channels 1.
  const auto templated = [&](const std::string& formType, std::int16_t bits = 16) {
    return "RIFF" + le32(44 + 8 + 4) + formType + "fmt " + le32(16) + le16(1) + le16(1) +
           le32(44100) + le32(88200) + le16(2) + le16(bits) + "fact" + le32(8) + padded + "data" +
           le32(4) + samples(2);
  };
  const std::int16_t da = 'd' | 'a' << 8;  // the two bytes a 14-byte body lends from "data"
  const std::string byDefault = default_file(44100, padded, 2);
  const struct {
    const char* name;
    std::string tmpl;
    std::string expected;
  } cases[] = {
      {"18-byte fmt body, 2 bytes passed over", riff("WAVX") + fmt(18, "zz") + data(0),
       templated("WAVX")},
      {"14-byte fmt body, read as 16, position back to its end",
       riff() + fmt(14).substr(0, 22) + data(0), templated("WAVE", da)},
      {"fact text is passed over", riff() + fmt(16) + "fact" + le32(5) + "hello" + data(0),
       templated("WAVE")},
      {"unknown chunk whose body reads as headers, then data",
       riff() + fmt(16) + "LIST" + le32(8) + "INFOxxxx" + data(0), templated("WAVE")},
      {"unknown chunk that hides the data chunk", riff() + fmt(16) + "LIST" + le32(4) + "abcd" + data(0),
       byDefault},
      {"no data chunk at all", riff() + fmt(16), byDefault},
      {"negative fmt size ends the loop", riff() + fmt(-16) + data(0), byDefault},
      {"negative fact size ends the loop", riff() + "fact" + le32(-8) + data(0), byDefault},
      {"fact body beyond the end", riff() + "fact" + le32(1000) + data(0), byDefault},
      {"empty template", "", byDefault},
  };
  for (const auto& [name, tmpl, expected] : cases) {
    bench.files.failures().clear();
    EXPECT_TRUE(same_bytes(make(tmpl, comment, 44100, 2), expected)) << name;
  }
}

TEST_F(WaveContainerTest, ADataChunkWithoutFmtLeavesZerosWhereTheFormatBelongs) {
  const std::string file = make(riff() + data(0), "c", 8278, 2);
  EXPECT_TRUE(same_bytes(file, "RIFF" + le32(44 + 8 + 4) + "WAVE" + std::string(8, '\0') +
                                   le16(0) + le16(1) + le32(8278) + le32(0) + le16(0) + le16(0) +
                                   "fact" + le32(8) + "c       " + "data" + le32(0) + samples(2)));
}

TEST_F(WaveContainerTest, AFailureBeforeTheLoopStopsItAfterOneRound) {
  // The template's first chunk is an unknown one; with a failure already raised, the
  // loop never reaches the data chunk behind it.
  const std::string tmpl = riff() + "LIST" + le32(8) + "INFOxxxx" + fmt(16) + data(0);
  write_file(template_path(), tmpl);
  bench.files.failures().raise();
  const WaveHeaders headers = sound::readtemplate(bench.files, template_path());
  EXPECT_EQ(headers.format.sampleRate, 44100) << "default header";
  bench.files.failures().clear();
  EXPECT_EQ(sound::readtemplate(bench.files, template_path()).format.sampleRate, 22050);
}

TEST_F(WaveContainerTest, ATemplateThatCannotBeOpenedGivesTheDefaultHeader) {
  write_file(bench.root.path() / "blocker", "a file where a folder should be");
  const WaveHeaders headers =
      sound::readtemplate(bench.files, (bench.root.path() / "blocker/fidsong.wav").string());
  EXPECT_EQ(headers.riff.id, sound::kRiffId);
  EXPECT_EQ(headers.dataHeader.id, sound::kDataId);
  EXPECT_EQ(headers.format.blockAlign, 2);
}

}  // namespace
