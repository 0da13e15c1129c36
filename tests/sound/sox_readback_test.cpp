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

}  // namespace
