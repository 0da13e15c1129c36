// A WAVE file's sound in stretches, for the window's view of the FID.
#include "sound/wave_envelope.hpp"

#include <gtest/gtest.h>

#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

std::string wave(const std::string& formType, const std::string& chunks) {
  return "RIFF" + le32(static_cast<std::int32_t>(4 + chunks.size())) + formType + chunks;
}

const std::string kFormat = "fmt " + le32(16) + le16(1) + le16(1) + le32(22050) + le32(44100) + le16(2) + le16(16);

TEST(WaveEnvelope, EachStretchHoldsItsLowestAndHighestSampleWhateverChunksComeFirst) {
  Workbench bench;
  const auto envelope = [&bench](const std::string& bytes, std::size_t stretches) {
    write_file(bench.scratch("fid.wav"), bytes);
    return sound::wave_envelope(bench.files.drive(), "C:\\temp\\fid.wav", stretches);
  };
  // Ten samples in four stretches (3, 2, 3 and 2 of them), behind a template's own form
  // type and a comment of odd length with its pad byte.
  std::string ten;
  for (const int v : {5, -7, 3, 100, -100, 0, 0, 1, -32768, 32767}) ten += le16(static_cast<std::int16_t>(v));
  const auto e = envelope(wave("WAVX", kFormat + "fact" + le32(3) + "abc" + '\0' + "data" + le32(20) + ten), 4);
  EXPECT_EQ(e.samples, 10);
  EXPECT_EQ(e.low, (std::vector<std::int16_t>{-7, -100, 0, -32768}));
  EXPECT_EQ(e.high, (std::vector<std::int16_t>{5, 100, 1, 32767}));

  // A data chunk that claims more than the file holds: the samples there are.
  const auto cut = envelope(wave("WAVE", kFormat + "data" + le32(4000) + ten), 2);
  EXPECT_EQ(cut.samples, 10);
  EXPECT_EQ(cut.high, (std::vector<std::int16_t>{100, 32767}));

  // Longer than the buffer it is read through: a sawtooth of 1000 samples, and one spike.
  std::string saw;
  for (int k = 0; k < 100000; ++k) saw += le16(static_cast<std::int16_t>(k == 73456 ? 20000 : k % 1000 - 500));
  const auto long_ = envelope(wave("WAVE", kFormat + "data" + le32(200000) + saw), 10);
  EXPECT_EQ(long_.low, std::vector<std::int16_t>(10, -500));
  std::vector<std::int16_t> highs(10, 499);
  highs[7] = 20000;
  EXPECT_EQ(long_.high, highs);

  // No data chunk, no RIFF, no file, or fewer stretches than one: nothing, and the file
  // system's failures untouched.
  EXPECT_EQ(envelope(wave("WAVE", kFormat), 4).samples, 0);
  EXPECT_TRUE(envelope("RIFX" + wave("WAVE", kFormat + "data" + le32(20) + ten).substr(4), 4).low.empty());
  EXPECT_EQ(envelope(wave("WAVE", kFormat + "data" + le32(20) + ten), 0).samples, 0);
  std::filesystem::remove(bench.scratch("fid.wav"));
  EXPECT_EQ(sound::wave_envelope(bench.files.drive(), "C:\\temp\\fid.wav", 4).samples, 0);
  EXPECT_FALSE(bench.files.failures().raised());
}

}  // namespace
