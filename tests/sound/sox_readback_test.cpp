// An independent reader, sox, reads back what a sound request wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sound/sound_request.hpp"
#include "tests/support/process.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

// What a program wrote on its standard output (and, with merge, its errors).
std::string run(const std::vector<std::string>& argv, bool merge = false) {
  const ProcessResult result = run_process(argv);
  return result.out + (merge ? result.err : "");
}

TEST(SoxReadback, SoxReadsTheRateTheSamplesAndTheirPeak) {
  Workbench bench;
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  // What the sound must hold, worked out here from the words: the lead-in's 4e6 is the
  // largest magnitude, and becomes 30000.
  std::string expected;
  double peak = 0;
  for (int i = 0; i < 5000; ++i) {
    const double decay = 4e6 * std::exp(-i / 1500.0);
    const auto second = static_cast<std::int32_t>(decay * std::sin(i * 0.2 + 1.0));
    pairs.emplace_back(static_cast<std::int32_t>(decay * std::cos(i * 0.2)), second);
    const double sample = std::nearbyint(second / 4e6 * 30000);
    expected += le16(static_cast<std::int16_t>(sample));
    peak = std::max(peak, sample);
  }
  std::string fid = fid_with_pairs(pairs);
  fid.replace(0, 4, be32(static_cast<std::int32_t>(4e6)));
  write_file(bench.scratch("fid"), fid);
  bench.window.speed = "x 0.5";
  common::FormMemory memory;
  ASSERT_TRUE(sound::createsound(bench.services, memory, "/d/1/fid", 0, 0).played());

  const std::string wav = bench.scratch("fid.wav").string();
  EXPECT_EQ(run({"soxi", "-r", wav}), "4139\n");
  EXPECT_EQ(run({"soxi", "-c", wav}), "1\n");
  EXPECT_EQ(run({"soxi", "-b", wav}), "16\n");
  EXPECT_EQ(run({"soxi", "-s", wav}), "5000\n");
  EXPECT_TRUE(same_bytes(run({"sox", wav, "-t", "raw", "-e", "signed", "-b", "16", "-L", "-"}), expected));

  const std::string stat = run({"sox", wav, "-n", "stat"}, true);
  const auto at = stat.find("Maximum amplitude:");
  ASSERT_NE(at, std::string::npos) << stat;
  EXPECT_NEAR(std::stod(stat.substr(at + 18)), peak / 32768.0, 1e-6);
  EXPECT_GT(peak, 29000) << "a sample near the scale's largest word";
}

TEST(SoxReadback, ASoundLongerThanAWaveFileHoldsIsCutIntoAValidOne) {
  Workbench bench;
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  for (int i = 0; i < 1000; ++i) pairs.emplace_back(0, (i % 7) * 1000 - 3000);
  write_file(bench.scratch("fid"), fid_with_pairs(pairs));
  common::FormMemory memory;
  // A WAVE file lowered to hold 600 samples behind this request's header: 52 bytes and
  // the comment "/d/1/fid\r x 1" padded to 16.
  const std::int64_t header = 52 + 16;
  const sound::WaveLimit limit{.mostRiffSize = header - 8 + 2 * 600};
  const sound::SoundResult result = sound::createsound(bench.services, memory, "/d/1/fid", 0, 0, limit);
  ASSERT_TRUE(result.played());
  ASSERT_TRUE(result.cut);
  EXPECT_EQ(result.cut->made, 600);
  EXPECT_EQ(result.cut->held, 1000);
  EXPECT_EQ(result.samples, 600);

  const std::string path = bench.scratch("fid.wav").string();
  const std::string wav = read_file(path);
  ASSERT_EQ(wav.size(), header + 2 * 600u);
  EXPECT_EQ(wav.substr(4, 4), le32(static_cast<std::int32_t>(wav.size() - 8)));
  EXPECT_EQ(wav.substr(wav.size() - 1208, 8), "data" + le32(1200));
  EXPECT_EQ(run({"soxi", "-s", path}), "600\n");
  const std::string listing = read_file(bench.scratch("fid.xls"));
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 600) << "the listing as far as the sound";

  // Within the limit, nothing is said.
  EXPECT_FALSE(sound::createsound(bench.services, memory, "/d/1/fid", 0, 0).cut);
}

TEST(WaveLimit, TheRealLimitIsTheRiffSizeBelowTwoToTheThirtySecondOrTheSampleCount) {
  // The standard header (52 bytes) and this request's comment (64): RIFF size
  // 44 + 64 + 2n <= 2^32 - 1.
  EXPECT_EQ(sound::most_samples(52 + 64), 2147483593);
  EXPECT_EQ(sound::most_samples(52 + 64) * 2 + 44 + 64, 4294967294);
  // About 72 hours at "x 1".
  EXPECT_NEAR(static_cast<double>(sound::most_samples(52 + 64)) / 8278 / 3600, 72.06, 0.01);
  // Where the file could grow further, the 32-bit sample count ends it first.
  EXPECT_EQ(sound::most_samples(52, {.mostRiffSize = std::int64_t{1} << 40}), 2147483647);
  EXPECT_EQ(sound::most_samples(100, {.mostRiffSize = 50}), 0) << "no room at all";
}

}  // namespace
