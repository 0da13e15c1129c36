// The spectrum drawn from a processed spectrum or from an FID, with its peaks in place, and
// a part of it.
#include "spectrum/trace.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "processing/processing.hpp"
#include "spectrum/drawing.hpp"
#include "tests/support/pictures.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
using bruker::ByteOrder;
using bruker::WordFormat;
using bruker::WordType;

// One line at 3.0 ppm, on a 400 MHz spectrometer whose spectrum spans 10 to 0 ppm.
constexpr double kLinePpm = 3.0;

class SpectrumTest : public ::testing::Test {
 protected:
  // The dataset's spectrum, made as intake makes it, in the picture's columns.
  std::optional<spectrum::Trace> drawn() {
    const auto s = processing::spectrum_of(bench.files, {(folder / "pdata/1/").string(), (folder / "fid").string(),
                                                         (folder / "acqus").string(), (folder / "pdata/1/title").string()});
    return s ? spectrum::trace_of(*s, spectrum::kColumns) : std::nullopt;
  }
  // The FID of one decaying line kLinePpm, in a format; acqus as given.
  void write_fid(const WordFormat& format, const std::string& acqus) {
    std::vector<double> words(80, 0);
    const double hz = (kLinePpm - 5.0) * 400;  // from the carrier at 5 ppm
    for (int k = 0; k < 4096; ++k) {
      const auto z = 2e6 * std::exp(-k / 500.0) * std::polar(1.0, 2 * M_PI * hz * k / 4000);
      words.push_back(std::round(z.real()));
      words.push_back(std::round(z.imag()));
    }
    write_file(folder / "fid", testsupport::words(format, words));
    write_file(folder / "acqus", acqus);
    write_file(folder / "pdata/1/title", "one line\nsecond line of the title\n");
  }
  // A processed spectrum of 4096 points from 10 ppm down, its line at kLinePpm.
  void write_processed(const std::string& procs) {
    const double at = (10 - kLinePpm) / 10 * 4095;
    std::vector<double> points;
    for (int i = 0; i < 4096; ++i) points.push_back(std::round(1e6 / (1 + (i - at) * (i - at) / 4) - 3000));
    write_file(folder / "pdata/1/1r", testsupport::words({ByteOrder::Little, WordType::Int32}, points));
    write_file(folder / "pdata/1/procs", procs);
  }
  // Where the spectrum's columns and the drawn picture put their tallest peak.
  void expect_peak_at(const spectrum::Trace& s, double value) {
    const double x = spectrum::x_of(s, value);
    std::size_t tallest = 0;
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
      if (s.columns[i].high > s.columns[tallest].high) tallest = i;
    }
    EXPECT_NEAR(spectrum::kPlotLeft + static_cast<double>(tallest), x, 1.5);
    const auto gif = spectrum::gif_of(s);
    ASSERT_TRUE(gif.has_value());
    const auto greys = gif_greys(*gif);
    ASSERT_TRUE(greys.has_value());
    EXPECT_NEAR(tallest_peak_x(*greys).value_or(-100), x, 2.0);
  }

  Workbench bench;
  std::filesystem::path folder = bench.root.path() / "line/1";
};

TEST_F(SpectrumTest, AProcessedSpectrumRunsFromOffsetDownAndHasItsLineInPlace) {
  write_fid({}, "##$NUC1= <13C>\n");
  write_processed("##$SI= 4096\n##$BYTORDP= 0\n##$DTYPP= 0\n##$NC_proc= -2\n##$OFFSET= 10\n##$SW_p= 4000\n##$SF= 400\n");
  const auto s = drawn();
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->columns.size(), spectrum::kColumns);
  EXPECT_EQ(s->axis, spectrum::Axis::Ppm);
  EXPECT_DOUBLE_EQ(s->left, 10);
  EXPECT_DOUBLE_EQ(s->right, 10 - 10 * 4095 / 4096.0) << "the last of 4096 points spanning 10 ppm";
  EXPECT_EQ(s->title, "one line");
  EXPECT_EQ(s->nucleus, "13C");
  EXPECT_NEAR(s->columns[0].low, -750, 1e-9) << "-3000 times 2^-2";
  expect_peak_at(*s, kLinePpm);
}

TEST_F(SpectrumTest, WithoutAProcessedSpectrumTheFidIsTransformedInEveryWordFormat) {
  const char* keys[] = {"", "##$BYTORDA= 0\n", "##$DTYPA= 2\n", "##$BYTORDA= 0\n##$DTYPA= 2\n"};
  const WordFormat formats[] = {{}, {ByteOrder::Little, WordType::Int32}, {ByteOrder::Big, WordType::Float64},
                                {ByteOrder::Little, WordType::Float64}};
  for (int i = 0; i < 4; ++i) {
    write_fid(formats[i], std::string(keys[i]) + "##$SW_h= 4000\n##$O1= 2000\n##$BF1= 400\n");
    const auto s = drawn();
    ASSERT_TRUE(s.has_value()) << keys[i];
    EXPECT_EQ(s->axis, spectrum::Axis::Ppm);
    EXPECT_NEAR(s->left, 10, 0.01);
    EXPECT_NEAR(s->right, 0, 0.01);
    expect_peak_at(*s, kLinePpm);
  }
  // A procs that does not say how to read 1r leaves the FID to draw from.
  write_processed("##$SI= 4096\n##$OFFSET= 10\n");
  EXPECT_NEAR(drawn()->left, 10, 0.01);
}

TEST_F(SpectrumTest, WithoutTheSpectrometersFrequenciesTheAxisIsInHertzFromTheCarrier) {
  write_fid({}, "##$TD= 8272\n");
  const auto s = drawn();
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->axis, spectrum::Axis::Hz);
  // The FID's own rate stands in for its width: 8278 Hz around the carrier.
  EXPECT_NEAR(s->left - s->right, 8278, 3);
  expect_peak_at(*s, -0.2 * 8278.0);  // the line lies a fifth of the width below the carrier
}

TEST_F(SpectrumTest, NothingIsDrawnFromAnFidWithoutPoints) {
  write_file(folder / "fid", std::string(8, '\0'));  // one point: nothing to transform
  EXPECT_FALSE(drawn().has_value());
  std::filesystem::remove(folder / "fid");
  EXPECT_FALSE(drawn().has_value());
}

TEST_F(SpectrumTest, TheSameDrawingIsAnEpsThatGhostscriptReads) {
  write_fid({}, "##$SW_h= 4000\n##$O1= 2000\n##$BF1= 400\n");
  const auto s = drawn();
  ASSERT_TRUE(s.has_value());
  const auto eps = spectrum::eps_of(*s);
  ASSERT_TRUE(eps.has_value());
  EXPECT_EQ(eps->substr(0, 23), "%!PS-Adobe-3.0 EPSF-3.0");
  write_file(bench.root.path() / "picture.eps", *eps);
  EXPECT_TRUE(ghostscript_reads_eps((bench.root.path() / "picture.eps").string()));
}

TEST(Trace, APartOfTheSpectrumRunsFromItsLeftToItsRightValue) {
  processing::Spectrum s;
  s.frequencyMHz = 100;
  s.firstHz = 1000;  // 10 ppm, then 0.01 ppm a point down
  s.hzPerPoint = 1;
  for (int i = 0; i < 1001; ++i) s.points.push_back(i == 500 ? 7 : 0);  // a line at 5 ppm
  const auto part = spectrum::trace_of(s, 10, {5.2, 4.9});
  ASSERT_TRUE(part.has_value());
  EXPECT_DOUBLE_EQ(part->left, 5.2);
  EXPECT_DOUBLE_EQ(part->right, 4.9);
  ASSERT_EQ(part->columns.size(), 10u);
  const auto tallest = std::max_element(part->columns.begin(), part->columns.end(),
                                        [](const auto& a, const auto& b) { return a.high < b.high; });
  EXPECT_EQ(tallest - part->columns.begin(), 6) << "20 of 31 points in, of 10 columns";
  EXPECT_DOUBLE_EQ(tallest->at, 5.0);
  EXPECT_FALSE(spectrum::trace_of(s, 10, {11, 10.5}).has_value()) << "beyond the spectrum";
  EXPECT_FALSE(spectrum::trace_of(s, 0).has_value());
}

}  // namespace
