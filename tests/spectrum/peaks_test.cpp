// The spectrum's peaks read out: positions and heights of known lines, the rules of
// which maxima count, and how they are written.
#include "spectrum/peaks.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "spectrum/drawing.hpp"
#include "tests/support/makers.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

TEST(Peaks, TheLinesOfAnFidAreFoundWhereAndAsTallAsTheyWereMade) {
  Workbench bench;
  // 400 MHz, the carrier at 5 ppm, 4000 Hz wide: lines at 7.26, 3.50 and 1.20 ppm.
  const struct {
    double ppm, height;
  } lines[] = {{7.26, 100}, {3.5, 50}, {1.2, 25}};
  std::vector<SpectralLine> made;
  for (const auto& l : lines) made.push_back({(l.ppm - 5) * 400, l.height * 1000});
  std::vector<Fid> fid = {Fid(40), fid_of_lines(made, 16384, 4000)};  // 40 points of lead-in first
  write_file(bench.scratch("fid"), scratch_doubles(fid));
  write_file(bench.scratch("acqus"), "##$BYTORDA= 0\n##$DTYPA= 2\n##$SW_h= 4000\n##$O1= 2000\n##$BF1= 400\n");
  const auto trace = scratch_trace(bench.files);
  ASSERT_TRUE(trace.has_value());
  const auto peaks = spectrum::peaks_of(*trace);
  ASSERT_EQ(peaks.size(), 3u) << spectrum::peaks_file(peaks, trace->axis);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(peaks[i].at, lines[i].ppm, 0.01) << i;
    EXPECT_NEAR(peaks[i].percent, lines[i].height, 2) << i;
  }
  EXPECT_EQ(spectrum::peaks_file(peaks, trace->axis), "7.26 ppm 100 %\n3.50 ppm 50 %\n1.20 ppm 25 %\n");
}

TEST(Peaks, OnlyTheTwentyTallestMaximaOfFivePercentOrMoreCountFromLeftToRight) {
  spectrum::Trace t;
  t.left = 30;
  t.right = 0;
  t.axis = spectrum::Axis::Hz;
  for (int i = 0; i < 100; ++i) t.columns.push_back({0, 0, 30 - 0.3 * i});
  // 19 maxima of falling height, a plateau, a column just under 5 %, and the right edge.
  for (int k = 0; k < 19; ++k) t.columns[static_cast<std::size_t>(2 + 3 * k)].high = 100 - 2 * k;
  t.columns[80].high = t.columns[81].high = 30;  // a plateau: one peak, its first column
  t.columns[90].high = 4.9;                       // under 5 % of 100
  t.columns[99].high = 10;                        // the right edge, higher than its neighbour
  const auto peaks = spectrum::peaks_of(t);
  ASSERT_EQ(peaks.size(), 20u);
  for (std::size_t i = 1; i < peaks.size(); ++i) EXPECT_GT(peaks[i - 1].at, peaks[i].at) << "left to right";
  EXPECT_DOUBLE_EQ(peaks.front().percent, 100);
  // The 20 tallest of 21: the edge (10) drops out, the plateau (30) is the last kept.
  EXPECT_DOUBLE_EQ(peaks.back().percent, 30) << spectrum::peaks_file(peaks, t.axis);
  EXPECT_DOUBLE_EQ(peaks.back().at, 30 - 0.3 * 80);
  EXPECT_EQ(spectrum::peak_text(peaks.front(), t.axis), "29.4 Hz, 100 %");
  EXPECT_EQ(spectrum::peak_text({7.2649, 99.5}, spectrum::Axis::Ppm), "7.26 ppm, 100 %");
  EXPECT_TRUE(spectrum::peaks_of(spectrum::Trace{}).empty());
}

}  // namespace
