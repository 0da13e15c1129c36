// Every line of a decoupled spectrum that stands out of the noise, and none of its solvent's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/analysis.hpp"
#include "analysis/report.hpp"
#include "processing/processing.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

class DecoupledLinesTest : public ::testing::Test {
 protected:
  processing::Spectrum processed(const MadeSpectrum& made) {
    const auto fid = make_spectrum_dataset(bench.root.path() / ("made" + std::to_string(++count)), made);
    return processing::spectrum_of(bench.files, {"", fid.string(), (fid.parent_path() / "acqus").string(), ""}).value();
  }
  // A 13C spectrum at 100 MHz of singlets (decoupled) beside the solvent's multiplet, its
  // axis 0.5 ppm off until a reference sets it.
  static MadeSpectrum carbon(const std::vector<double>& ppms, const std::string& solvent) {
    MadeSpectrum made;
    made.nucleus = "13C";
    made.frequencyMHz = 100.61;
    made.sweepHz = 24000;
    made.carrierPpm = 100;
    made.axisErrorPpm = 0.5;
    made.solvent = solvent;
    made.solventProtons = 3;
    made.tmsProtons = 0;
    made.seed = 7;
    for (const double ppm : ppms) made.multiplets.push_back({ppm, {}, 1, 1.0});
    return made;
  }
  Workbench bench;
  int count = 0;
};

TEST_F(DecoupledLinesTest, TwentyFiveCarbonsFiveTimesAboveTheNoiseAreEachListedAndTheSolventsSeptetIsNot) {
  // Lines spread over 10 to 200 ppm, some nearer than 0.1 ppm, one beside the septet.
  std::mt19937 random(11);
  std::uniform_real_distribution<double> anywhere(10, 200);
  std::vector<double> ppms = {128.02, 128.08, 41.3, 36.9};
  while (ppms.size() < 25) {
    const double ppm = anywhere(random);
    if (std::fabs(ppm - 39.52) > 1.2) ppms.push_back(std::round(ppm * 100) / 100);
  }
  std::sort(ppms.rbegin(), ppms.rend());
  for (const char* solvent : {"DMSO-d6", "CDCl3"}) {
    SCOPED_TRACE(solvent);
    // The lines' height measured once, then the noise made a fifth of it, as NMR programs
    // count the noise (twice its standard deviation): each line ten standard deviations high.
    MadeSpectrum made = carbon(ppms, solvent);
    const processing::Spectrum first = processed(made);
    const double height = first.points[static_cast<std::size_t>(std::lround(first.index_of(ppms[5])))];
    made.noise *= height / (5 * 2 * first.noise);
    const processing::Spectrum s = processed(made);
    ASSERT_EQ(s.referencing.compound, solvent);
    const analysis::Analysis a = analysis::analyse(s);
    const std::string report = analysis::report_of(s, a);
    SCOPED_TRACE(report);
    ASSERT_EQ(a.lines.size(), ppms.size());
    for (std::size_t k = 0; k < ppms.size(); ++k) EXPECT_NEAR(a.lines[k], ppms[k], 0.03) << k;
    EXPECT_NE(report.find("128.08, 128.02"), std::string::npos) << "two decimals where lines lie within 0.1 ppm";
    EXPECT_NE(report.find(", 41.3, 36.9,"), std::string::npos) << "one where they lie apart";
  }
}

}  // namespace
