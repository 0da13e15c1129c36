// Synthetic datasets with known multiplets, processed and analysed as a dataset taken in
// is: the report lists exactly what was made, whatever the receiver's phase.
#include <gtest/gtest.h>

#include <regex>

#include "analysis/analysis.hpp"
#include "processing/processing.hpp"
#include "analysis/report.hpp"
#include "tests/support/readings.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

struct Reported {
  double ppm = 0;
  std::string pattern;
  std::vector<double> couplings;
  int protons = 0;
};

// The report's multiplets, read back from its text as a reader would.
std::vector<Reported> read_report(const std::string& report) {
  std::vector<Reported> found;
  const std::regex item(R"((\d+\.\d\d)(?: \u2013 (\d+\.\d\d))? \(([a-z ]+)(?:, J = ([\d., ]+) Hz)?, (\d+)H\))");
  for (std::sregex_iterator it(report.begin(), report.end(), item), end; it != end; ++it) {
    const std::smatch& m = *it;
    Reported r{std::stod(m[1]), m[3], {}, std::stoi(m[5])};
    if (m[2].matched) r.ppm = (r.ppm + std::stod(m[2])) / 2;
    const std::string js = m[4];
    for (std::size_t at = 0; at < js.size(); at = js.find(',', at) == std::string::npos ? js.size() : js.find(',', at) + 1) {
      r.couplings.push_back(std::stod(js.substr(at)));
    }
    found.push_back(r);
  }
  return found;
}

std::vector<double> distinct_couplings(std::vector<double> j) {
  std::sort(j.rbegin(), j.rend());
  j.erase(std::unique(j.begin(), j.end()), j.end());
  return j;
}

class ReportTest : public ::testing::Test {
 protected:
  std::optional<processing::Spectrum> spectrum_of(const MadeSpectrum& made) {
    const auto fid = make_spectrum_dataset(bench.root.path() / ("made" + std::to_string(++count)), made);
    const auto folder = fid.parent_path();
    return processing::spectrum_of(bench.files, {"", fid.string(), (folder / "acqus").string(), ""});
  }
  std::string report_of(const MadeSpectrum& made) {
    const auto s = spectrum_of(made);
    if (!s) return {};
    return analysis::report_of(*s, analysis::analyse(*s));
  }
  Workbench bench;
  int count = 0;
};

// Every multiplicity a report names, a broad singlet, integrals whose smallest is 2H; each
// at a receiver phase of its own.
const std::vector<MadeSpectrum>& made_spectra() {
  static const std::vector<MadeSpectrum> spectra = [] {
    MadeSpectrum ethyl;  // an ethyl ester: 2H is the smallest
    ethyl.multiplets = {{4.12, {7.1, 7.1, 7.1}, 2}, {2.05, {}, 3}, {1.26, {7.1, 7.1}, 3}};
    ethyl.zeroPhase = 0.7;
    MadeSpectrum aromatic;
    aromatic.multiplets = {{7.95, {8.1, 1.5}, 1},          {7.52, {7.7, 7.7, 1.5}, 1}, {7.20, {8.0, 1.1, 1.1}, 1},
                           {6.05, {17.2, 10.4, 6.1}, 1},   {5.25, {17.2, 1.5, 1.5, 1.5}, 1},
                           {3.95, {6.5, 6.5, 6.5, 6.5, 6.5, 6.5}, 1}, {1.22, {6.5}, 6}};
    aromatic.zeroPhase = 2.9;
    aromatic.seed = 2;
    MadeSpectrum chain;
    chain.multiplets = {{9.50, {}, 1, 15},         {5.60, {6.8, 6.8, 6.8, 1.6}, 1},        {3.40, {6.6, 6.6}, 2},
                        {2.55, {11.5, 11.5, 3.6, 3.6}, 1}, {1.85, {7.0, 7.0, 7.0, 7.0}, 2},
                        {1.45, {7.2, 7.2, 7.2, 7.2, 7.2}, 2}, {0.93, {7.3, 7.3}, 3}};
    chain.zeroPhase = -1.8;
    chain.groupDelay = 76.5;
    chain.seed = 3;
    return std::vector<MadeSpectrum>{ethyl, aromatic, chain};
  }();
  return spectra;
}

TEST_F(ReportTest, EachSyntheticSpectrumIsReportedAsItWasMade) {
  for (const MadeSpectrum& made : made_spectra()) {
    const std::string report = report_of(made);
    SCOPED_TRACE(report);
    ASSERT_TRUE(report.starts_with("1H NMR (400 MHz, CDCl3) \u03b4 ")) << "neither TMS nor the solvent counts";
    const std::vector<Reported> reported = read_report(report);
    std::vector<MadeMultiplet> expected = made.multiplets;
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.ppm > b.ppm; });
    ASSERT_EQ(reported.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      const MadeMultiplet& e = expected[k];
      const Reported& r = reported[k];
      EXPECT_NEAR(r.ppm, e.ppm, 0.01) << k;
      EXPECT_EQ(r.pattern, e.widthHz > 5 ? "br s" : pattern_name(e.couplings)) << e.ppm;
      EXPECT_EQ(r.protons, e.protons) << e.ppm;
      const std::vector<double> j = distinct_couplings(e.couplings);
      ASSERT_EQ(r.couplings.size(), j.size()) << e.ppm;
      for (std::size_t c = 0; c < j.size(); ++c) EXPECT_NEAR(r.couplings[c], j[c], 0.3) << e.ppm;
    }
  }
}

TEST_F(ReportTest, TheReceiversPhaseAndTheNoiseChangeNothingThatIsReported) {
  for (MadeSpectrum made : made_spectra()) {
    const std::string first = report_of(made);
    for (const double phase : {-3.0, -0.4, 1.6, 3.1}) {
      made.zeroPhase = phase;
      made.seed += 10;
      EXPECT_EQ(report_of(made), first) << phase;
    }
  }
}

// What lumped or misnamed multiplets before: each made spectrum read as a chemist reads
// what was made (its shifts, couplings spelled out within 0.5 Hz, protons).
TEST_F(ReportTest, CrowdedAndComplexMultipletsAreReadAsMade) {
  struct Case {
    std::string what;
    MadeSpectrum made;
    std::size_t hump = 0;  // the first so many multiplets may be read as one "m" over them
  };
  std::vector<Case> cases(6);
  cases[0].what = "a methyl doublet on a hump of two ring protons";
  cases[0].made.multiplets = {{0.96, {12.5, 12.5, 3.5}, 1}, {0.89, {12.0, 11.0, 11.0, 3.3}, 1}, {0.93, {6.6}, 3}, {3.40, {10.0}, 1}};
  cases[0].hump = 2;
  cases[1].what = "two methyl singlets 0.02 ppm apart at 500 MHz";
  cases[1].made.multiplets = {{1.02, {}, 3}, {1.00, {}, 3}, {3.62, {6.5, 6.5}, 2}, {5.35, {6.5}, 1}};
  cases[1].made.frequencyMHz = 500.13;
  cases[2].what = "a dddd of four different couplings";
  cases[2].made.multiplets = {{3.43, {10.9, 9.9, 4.8, 4.5}, 1}, {1.21, {6.8}, 3}};
  cases[3].what = "a septet of doublets beside its methyls' doublets";
  cases[3].made.multiplets = {{2.17, {7.0, 7.0, 7.0, 7.0, 7.0, 7.0, 2.7}, 1}, {0.92, {7.0}, 3}, {0.88, {7.0}, 3}, {3.41, {10.5, 2.7}, 1}};
  cases[4].what = "a ddd 0.02 ppm from CHCl3";
  cases[4].made.multiplets = {{7.28, {8.0, 7.4, 1.2}, 1}, {7.45, {8.0}, 2}, {3.80, {}, 3}};
  cases[4].made.solventProtons = 0.4;
  cases[5].what = "a 2.0 Hz doublet of lines 0.8 Hz wide";
  cases[5].made.multiplets = {{6.50, {2.0}, 1, 0.8}, {6.81, {8.5, 2.0}, 1, 0.8}, {7.20, {8.5}, 1, 0.8}, {3.85, {}, 3, 0.8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto s = spectrum_of(c.made);
    ASSERT_TRUE(s.has_value());
    const analysis::Analysis a = analysis::analyse(*s);
    std::vector<Reading> made;
    for (std::size_t k = c.hump; k < c.made.multiplets.size(); ++k) {
      const MadeMultiplet& m = c.made.multiplets[k];
      made.push_back({m.ppm, m.couplings.empty() ? "s" : std::string(m.couplings.size(), 'd'), m.couplings, m.protons});
    }
    EXPECT_EQ(misreadings(a.multiplets, made), std::vector<std::string>{}) << analysis::report_of(*s, a);
    int protons = 0, madeProtons = 0;
    for (const analysis::Multiplet& m : a.multiplets) protons += m.protons;
    for (const MadeMultiplet& m : c.made.multiplets) madeProtons += m.protons;
    EXPECT_EQ(protons, madeProtons) << analysis::report_of(*s, a);
    if (c.hump == 0) {
      EXPECT_EQ(a.multiplets.size(), made.size()) << analysis::report_of(*s, a);
    }
  }
}

TEST(Report, ReadsAsJournalsPrintIt) {
  processing::Spectrum s;
  s.points = {0, 1, 0};
  s.frequencyMHz = 400.13;
  s.nucleus = "1H";
  s.solvent = "CDCl3";
  s.referencing = {processing::Reference::Solvent, "CHCl3", 7.26, 1, 0.5, {}};
  analysis::Analysis a;
  a.multiplets = {{8.1099, 8.12, 8.10, 0, 0, "dd", {7.94, 1.66}, 1, 1, 1},
                  {7.34, 7.404, 7.278, 0, 0, "m", {}, 5, 5, 1},
                  {2.349, 2.349, 2.349, 0, 0, "s", {}, 3, 3, 1}};
  EXPECT_EQ(analysis::report_of(s, a),
            "1H NMR (400 MHz, CDCl3) \u03b4 8.11 (dd, J = 7.9, 1.7 Hz, 1H), 7.40 \u2013 7.28 (m, 5H), 2.35 (s, 3H).\n");
  s.nucleus = "13C";
  s.frequencyMHz = 100.61;
  a.lines = {170.23, 150.91, 21.04};
  EXPECT_EQ(analysis::report_of(s, a), "13C NMR (101 MHz, CDCl3) \u03b4 170.2, 150.9, 21.0.\n");
  s.referencing = {processing::Reference::Carrier, {}, 0, 0, 0, "TMS or CDCl3"};
  EXPECT_EQ(analysis::report_of(s, a), "13C NMR (101 MHz, CDCl3) \u03b4 170.2, 150.9, 21.0.\n"
                                       "Not referenced: no TMS or CDCl3 line found; the shifts stand on the spectrometer's axis.\n");
  a.lines.clear();
  EXPECT_EQ(analysis::report_of(s, a), "13C NMR (101 MHz, CDCl3): no signal above the noise.\n");
  s.solvent.clear();
  s.frequencyMHz = 0;
  EXPECT_EQ(analysis::report_of(s, a), "13C NMR (): no ppm axis (its parameters give no SW_h, O1 and BF1).\n");
}

}  // namespace
