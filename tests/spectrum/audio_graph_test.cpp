// The spectrum heard: the pitch track of the audio graph measured from its samples, its
// clicks, its length at each speed, and the file it is written to.
#include "spectrum/audio_graph.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "spectrum/drawing.hpp"
#include "spectrum/hearing.hpp"
#include "tests/support/process.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

// A trace from 10 to 0 ppm over the plot's columns: a faint baseline and three narrow
// lines, at 7.26, 3.5 and 1.2 ppm, of heights 1, 0.5 and 0.25.
spectrum::Trace three_lines() {
  spectrum::Trace t;
  t.left = 10;
  t.right = 0;
  t.columns.resize(spectrum::kColumns, {0, 0.01, 0});
  for (const auto& [ppm, height] : {std::pair{7.26, 1.0}, {3.5, 0.5}, {1.2, 0.25}}) {
    const auto i = static_cast<std::size_t>(std::lround(spectrum::x_of(t, ppm) - spectrum::kPlotLeft - 0.5));
    t.columns[i] = {0, height, ppm};
  }
  return t;
}

std::vector<std::int16_t> whole(const spectrum::Trace& t, double seconds) {
  spectrum::AudioGraph graph(t, seconds, 0, seconds);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(graph.samples()));
  EXPECT_EQ(graph.next(samples.data(), samples.size()), samples.size());
  return samples;
}

// Each click's time, as the graph places them.
std::vector<double> clicks(const spectrum::Trace& t, double seconds) {
  std::vector<double> times;
  for (const double v : spectrum::ticks_of(t).values) {
    const double at = spectrum::time_of(t, v, seconds);
    times.push_back(at);
    // At the axis's end, the second click comes before the first.
    if (v == 0) times.push_back(at + spectrum::kDoubleClickGap + spectrum::kClickSeconds <= seconds ? at + spectrum::kDoubleClickGap : at - spectrum::kDoubleClickGap);
  }
  return times;
}

bool near_a_click(double from, double to, const std::vector<double>& times) {
  for (const double c : times) {
    if (c < to + 0.002 && c + spectrum::kClickSeconds > from - 0.002) return true;
  }
  return false;
}

TEST(AudioGraph, ItsPitchPeaksWhereTheLinesLieAtThePitchTheirHeightsGive) {
  const spectrum::Trace t = three_lines();
  const double seconds = spectrum::kGraphSeconds;
  const auto samples = whole(t, seconds);
  ASSERT_EQ(samples.size(), 441000u);
  const std::vector<double> times = clicks(t, seconds);
  // The pitch in 10 ms windows, from the zero crossings.
  constexpr std::size_t kWindow = 441;
  double highest = 0, highestAt = 0;
  std::vector<std::pair<double, double>> track;  // window centre, pitch
  for (std::size_t start = 0; start + kWindow <= samples.size(); start += 44) {
    const double from = static_cast<double>(start) / 44100, to = from + 0.01;
    if (near_a_click(from, to, times) || from < spectrum::kFadeSeconds || to > seconds - spectrum::kFadeSeconds) continue;
    int crossings = 0;
    for (std::size_t k = start + 1; k < start + kWindow; ++k) crossings += (samples[k - 1] < 0) != (samples[k] < 0);
    const double pitch = crossings / 2.0 / 0.01;
    track.emplace_back(from + 0.005, pitch);
    if (pitch > highest) highest = pitch, highestAt = from + 0.005;
  }
  const double column = seconds / static_cast<double>(spectrum::kColumns);
  EXPECT_NEAR(highestAt, spectrum::time_of(t, 7.26, seconds), column) << "at the tallest line";
  EXPECT_NEAR(highest, 1760, 120);
  const auto pitch_at = [&](double time) {
    double best = 0;
    for (const auto& [centre, pitch] : track) {
      if (std::abs(centre - time) <= column) best = std::max(best, pitch);
    }
    return best;
  };
  EXPECT_NEAR(pitch_at(spectrum::time_of(t, 3.5, seconds)), 220 * std::pow(8, 0.5), 60);
  EXPECT_NEAR(pitch_at(spectrum::time_of(t, 1.2, seconds)), 220 * std::pow(8, 0.25), 50);
  EXPECT_NEAR(pitch_at(spectrum::time_of(t, 5.0, seconds)), 220 * std::pow(8, 0.01), 40) << "the baseline, still heard";

  // No step of its own: away from the clicks no sample leaps further than the loudest,
  // highest tone moves between two samples.
  const double steepest = 2 * M_PI * 1760 / 44100 * spectrum::kLoudest * 32767;
  for (std::size_t k = 1; k < samples.size(); ++k) {
    const double t0 = static_cast<double>(k) / 44100;
    if (near_a_click(t0, t0, times)) continue;
    ASSERT_LE(std::abs(samples[k] - samples[k - 1]), steepest * 1.05) << "at " << t0 << " s";
  }
  int first = 0;  // the loudest of the first millisecond, out of a tone of 8 % of full scale
  for (std::size_t k = 0; k < 44; ++k) first = std::max(first, std::abs(int{samples[k]}));
  EXPECT_LT(first, 0.11 * spectrum::kQuietest * 32767) << "faded in: a tenth of the way up after a millisecond";
}

TEST(AudioGraph, ItClicksAtEachLabelledTickAndTwiceAtZeroPpm) {
  const spectrum::Trace t = three_lines();
  const auto samples = whole(t, spectrum::kGraphSeconds);
  // A click's 3 kHz in windows as long as a click, by Goertzel's filter: at their
  // strongest where a click is centred, while the tone (at most 1760 Hz) stays far below.
  constexpr std::size_t kWindow = 176;
  const double c = 2 * std::cos(2 * M_PI * 3000 / 44100);
  std::vector<double> strength;
  for (std::size_t start = 0; start + kWindow <= samples.size(); start += 11) {
    double s1 = 0, s2 = 0;
    for (std::size_t k = start; k < start + kWindow; ++k) {
      const double s0 = samples[k] + c * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    strength.push_back(std::sqrt(s1 * s1 + s2 * s2 - c * s1 * s2));
  }
  const double threshold = 32767.0 * kWindow / 2 * 0.08;
  std::vector<double> centres;  // of each click found: its window's strongest
  for (std::size_t i = 0; i < strength.size();) {
    if (strength[i] < threshold) {
      ++i;
      continue;
    }
    std::size_t best = i;
    for (; i < strength.size() && strength[i] >= threshold; ++i) {
      if (strength[i] > strength[best]) best = i;
    }
    centres.push_back((static_cast<double>(best * 11) + kWindow / 2.0) / 44100);
  }
  std::vector<double> expected = clicks(t, spectrum::kGraphSeconds);
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(spectrum::ticks_of(t).values, (std::vector<double>{0, 2, 4, 6, 8, 10}));
  ASSERT_EQ(centres.size(), expected.size()) << "six ticks, and the second click at 0 ppm";
  for (std::size_t i = 0; i < centres.size(); ++i) {
    EXPECT_NEAR(centres[i], expected[i] + spectrum::kClickSeconds / 2, 0.001) << i;
  }
}

TEST(AudioGraph, TheSpeedSetsItsLengthAndItIsWrittenAsAStandardWaveFile) {
  Workbench bench;
  common::FormMemory memory;
  const spectrum::Trace t = three_lines();
  const struct {
    const char* speed;
    const char* answer;
    std::int64_t samples;
  } cases[] = {{"x 1", nullptr, 441000}, {"x 2", nullptr, 220500}, {"x 0.5", nullptr, 882000},
               {"x 0.125", nullptr, 4410000}, {"x ?", "4", 110250}};
  for (const auto& [speed, answer, samples] : cases) {
    bench.window.speed = speed;
    if (answer) bench.window.answers = {answer};
    const sound::SoundResult heard = spectrum::hear_spectrum(bench.services, memory, t);
    ASSERT_TRUE(heard.played()) << speed;
    EXPECT_EQ(heard.samples, samples) << speed;
    const std::string wav = read_file(bench.scratch("spectrum.wav"));
    ASSERT_EQ(wav.size(), 44 + 2 * static_cast<std::size_t>(samples)) << speed;
    EXPECT_EQ(wav.substr(0, 44), "RIFF" + le32(static_cast<std::int32_t>(36 + 2 * samples)) + "WAVEfmt " + le32(16) +
                                     le16(1) + le16(1) + le32(44100) + le32(88200) + le16(2) + le16(16) + "data" +
                                     le32(static_cast<std::int32_t>(2 * samples)))
        << speed;
  }
  EXPECT_EQ(bench.media.played.back(), "C:\\temp\\spectrum.wav");
  const ProcessResult sox = run_process({"soxi", "-s", bench.scratch("spectrum.wav").string()});
  EXPECT_EQ(sox.out, "110250\n");

  // Half a second around a line, at the speed picked, without asking again.
  bench.window.speed = "x 2";
  const sound::SoundResult around = spectrum::hear_around(bench.services, memory, t, 3.5);
  ASSERT_TRUE(around.played());
  EXPECT_EQ(around.samples, 22050);
  EXPECT_EQ(bench.media.played.back(), "C:\\temp\\peak.wav");
  EXPECT_EQ(read_file(bench.scratch("peak.wav")).size(), 44 + 2 * 22050u);

  // A speed that gives no length, or over an hour, makes nothing.
  bench.window.speed = "x ?";
  for (const auto& [answer, outcome] : {std::pair{"0", sound::SoundResult::Outcome::NoPositiveRate},
                                        {"0.001", sound::SoundResult::Outcome::TooLong},
                                        {"", sound::SoundResult::Outcome::Cancelled}}) {
    bench.window.answers = {answer};
    EXPECT_EQ(spectrum::hear_spectrum(bench.services, memory, t).outcome, outcome) << answer;
  }
  EXPECT_EQ(read_file(bench.scratch("spectrum.wav")).size(), 44 + 2 * 110250u) << "kept as it was";
}

TEST(AudioGraph, TheSweepsPlaceAndTheAxisValueAgree) {
  const spectrum::Trace t = three_lines();
  for (const double ppm : {10.0, 7.26, 3.5, 0.0}) {
    EXPECT_NEAR(spectrum::value_at(t, spectrum::time_of(t, ppm, 20), 20), ppm, 1e-9) << ppm;
  }
  EXPECT_NEAR(spectrum::time_of(t, 10, 10), 0.5 * 10 / 730, 1e-12) << "the first column's centre";
}

}  // namespace
