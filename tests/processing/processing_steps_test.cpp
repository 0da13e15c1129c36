// The steps of processing on their own: the digital filter's delay, and where 0 ppm is
// found, in the order an NMR program looks for it.
#include <gtest/gtest.h>

#include "processing/group_delay.hpp"
#include "platform/text.hpp"
#include "processing/processing.hpp"
#include "processing/referencing.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

TEST(GroupDelay, GivenElseTabledElseWhereTheFidRises) {
  std::vector<std::complex<double>> fid(600, 0.01);
  for (std::size_t k = 20; k < fid.size(); ++k) fid[k] = 1;
  const struct {
    const char* acqus;
    double delay;
    const char* note;
  } cases[] = {
      {"##$GRPDLY= 67.9842071533203\n##$DECIM= 24\n##$DSPFVS= 10\n", 67.9842071533203, ""},
      // Westler and Abildgaard's table, for consoles that recorded no GRPDLY (or -1).
      {"##$GRPDLY= -1\n##$DECIM= 24\n##$DSPFVS= 10\n", 61.0208, ""},
      {"##$DECIM= 2048\n##$DSPFVS= 11\n", 72.0313, ""},
      {"##$DECIM= 128\n##$DSPFVS= 12\n", 72.524, ""},
      {"##$DECIM= 3\n##$DSPFVS= 12\n", 36.530, ""},
      // No entry, or nothing recorded: where the FID first reaches half its largest value.
      {"##$DECIM= 256\n##$DSPFVS= 12\n", 20, "its DECIM 256 and DSPFVS 12 are not in the filter's table: the FID's rise gives 20"},
      {"##$DECIM= 24\n##$DSPFVS= 13\n", 20, "its DECIM 24 and DSPFVS 13 are not in the filter's table: the FID's rise gives 20"},
      {"##$DECIM= 24\n", 20, ""},
      {"", 20, ""},
      // A delay that cannot be one: beyond a quarter of the FID, negative, no number.
      {"##$GRPDLY= 1e9\n##$DECIM= 24\n##$DSPFVS= 10\n", 61.0208, "its GRPDLY 1e9 is beyond the FID: the filter's table gives 61.0208"},
      {"##$GRPDLY= 150.5\n", 20, "its GRPDLY 150.5 is beyond the FID: the FID's rise gives 20"},
      {"##$GRPDLY= 150\n", 150, ""},
      {"##$GRPDLY= -5\n", 20, "its GRPDLY -5 is no delay: the FID's rise gives 20"},
      {"##$GRPDLY= nan\n##$DECIM= 3\n##$DSPFVS= 12\n", 36.530, "its GRPDLY nan is no number: the filter's table gives 36.53"},
      {"##$GRPDLY= inf\n", 20, "its GRPDLY inf is no number: the FID's rise gives 20"},
  };
  for (const auto& [acqus, delay, note] : cases) {
    const processing::GroupDelay found = processing::group_delay(acqus, fid);
    EXPECT_DOUBLE_EQ(found.points, delay) << acqus;
    EXPECT_EQ(found.note, note) << acqus;
  }
  EXPECT_EQ(processing::group_delay("", std::vector<std::complex<double>>(64, 1.0)).points, 0) << "an FID without a filter's echo";
}

class ReferencingTest : public ::testing::Test {
 protected:
  // The made spectrum, its acqus's carrier off by made.axisErrorPpm: every line lies that
  // far off on the base frequency's axis until a reference puts it back.
  std::optional<processing::Spectrum> processed(const MadeSpectrum& made, const std::string& procs = "",
                                                const std::string& title = "synthetic") {
    const auto fid = make_spectrum_dataset(bench.root.path() / ("made" + std::to_string(++count)), made, title);
    std::string pdata;
    if (!procs.empty()) {
      write_file(fid.parent_path() / "pdata/1/procs", procs);
      pdata = (fid.parent_path() / "pdata/1/").string();
    }
    return processing::spectrum_of(bench.files, {pdata, fid.string(), (fid.parent_path() / "acqus").string(),
                                                 (fid.parent_path() / "pdata/1/title").string()});
  }
  // Where the spectrum's tallest point between two shifts lies on its axis.
  static double tallest_at(const processing::Spectrum& s, double high = 1e9, double low = -1e9) {
    double best = -1e300, at = 0;
    for (std::size_t i = 0; i < s.points.size(); ++i) {
      const double ppm = s.axis_at(static_cast<double>(i));
      if (ppm <= high && ppm >= low && s.points[i] > best) best = s.points[i], at = ppm;
    }
    return at;
  }
  static MadeSpectrum one_singlet(double axisError) {
    MadeSpectrum made;
    made.multiplets = {{3.5, {}, 3}};
    made.axisErrorPpm = axisError;
    return made;
  }
  Workbench bench;
  int count = 0;
};

TEST_F(ReferencingTest, TheOperatorsThenTmsThenTheSolventElseNone) {
  MadeSpectrum made = one_singlet(0.05);
  // The operator's SF: 0 ppm 0.02 ppm above the base frequency, whatever else there is.
  const auto byOperator = processed(made, "##$SF= " + std::to_string(400.13 * (1 + 0.02e-6)) + "\n");
  ASSERT_TRUE(byOperator);
  EXPECT_EQ(byOperator->referencing.kind, processing::Reference::Operator);
  EXPECT_EQ(processing::referencing_text(*byOperator), "the operator's calibration");
  EXPECT_NEAR(tallest_at(*byOperator), 3.5 + 0.05 - 0.02, 0.002);
  // An SF equal to BF1 is no calibration: nobody moved the axis.
  const auto uncalibrated = processed(made, "##$SF= 400.13\n");
  EXPECT_EQ(uncalibrated->referencing.kind, processing::Reference::Tms);
  EXPECT_NEAR(tallest_at(*uncalibrated), 3.5, 0.002);
  const auto byTms = processed(made);
  EXPECT_EQ(byTms->referencing.kind, processing::Reference::Tms);
  EXPECT_EQ(processing::referencing_text(*byTms), "referenced to TMS at 0.00 ppm");
  EXPECT_NEAR(tallest_at(*byTms), 3.5, 0.002);
  made.tmsProtons = 0;
  const auto bySolvent = processed(made);
  EXPECT_EQ(bySolvent->referencing.kind, processing::Reference::Solvent);
  EXPECT_EQ(processing::referencing_text(*bySolvent), "referenced to CHCl3 at 7.26 ppm");
  EXPECT_NEAR(bySolvent->axis_at(bySolvent->referencing.index), 7.26, 1e-9);
  EXPECT_NEAR(tallest_at(*bySolvent), 3.5, 0.002);
  // DMSO-d6 named, and no quintet anywhere: CHCl3's singlet is no DMSO-d5.
  made.solventInAcqus = "DMSO-d6";
  const auto byCarrier = processed(made);
  EXPECT_EQ(byCarrier->referencing.kind, processing::Reference::Carrier);
  EXPECT_EQ(processing::referencing_text(*byCarrier), "not referenced: no TMS or DMSO-d6 line found");
  EXPECT_NEAR(tallest_at(*byCarrier), 3.55, 0.002);
}

TEST_F(ReferencingTest, EachSolventsLineIsKnownByItsPatternNotByBeingNearest) {
  const struct {
    const char* solvent;
    const char* nucleus;
    double axisError;       // ppm, on the base frequency's axis
    MadeMultiplet decoy;    // a line of the sample nearer the solvent's place than its own line
    const char* compound;
    double ppm;
  } cases[] = {
      {"DMSO-d6", "1H", 0.03, {2.47, {}, 1}, "DMSO-d5", 2.50},
      {"CD3OD", "1H", -0.027, {3.33, {}, 1}, "CHD2OD", 3.31},
      {"acetone-d6", "1H", 0.029, {2.02, {}, 1}, "acetone-d5", 2.05},
      {"CD3CN", "1H", 0.04, {1.90, {}, 2}, "CHD2CN", 1.94},
      {"CDCl3", "1H", 0.025, {7.20, {}, 1}, "CHCl3", 7.26},
      {"CDCl3", "13C", -0.5, {77.1, {}, 1}, "CDCl3", 77.16},
      {"DMSO-d6", "13C", 0.52, {40.2, {}, 1}, "DMSO-d6", 39.52},
      {"CD3OD", "13C", -0.7, {48.4, {}, 1}, "CD3OD", 49.00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.solvent) + " " + c.nucleus);
    MadeSpectrum made;
    made.nucleus = c.nucleus;
    made.solvent = c.solvent;
    made.tmsProtons = 0;
    made.solventProtons = 0.5;
    made.axisErrorPpm = c.axisError;
    MadeMultiplet decoy = c.decoy;
    decoy.ppm -= c.axisError;  // so that on the base frequency's axis it lies where it says
    made.multiplets = {{c.nucleus == std::string("13C") ? 130.0 : 5.0, {}, 2}, decoy};
    if (made.nucleus == "1H") {
      // A doublet of the sample whose line stands at the solvent's place on the base
      // frequency's axis, its other line away from the solvent's: a line of a multiplet.
      const double away = c.axisError > 0 ? -4.0 : 4.0;
      made.multiplets.push_back({c.ppm + away / made.frequencyMHz - c.axisError, {8.0}, 1});
    }
    if (made.nucleus == "13C") made.frequencyMHz = 100.61, made.sweepHz = 24000, made.carrierPpm = 100, made.noise = 2e-3;
    const auto s = processed(made);
    ASSERT_TRUE(s);
    EXPECT_EQ(processing::referencing_text(*s),
              std::string("referenced to ") + c.compound + " at " + platform::fixed_text(c.ppm, 2) + " ppm");
    EXPECT_NEAR(tallest_at(*s, decoy.ppm + 0.015, decoy.ppm - 0.015), decoy.ppm, 0.004) << "the sample's line where it belongs";
  }
}

TEST_F(ReferencingTest, ABenchtopSpectrumTwoPpmOffIsFoundByTheSolventsShapeNotByTheDoubletInItsPlace) {
  MadeSpectrum made;
  made.frequencyMHz = 43.3;
  made.sweepHz = 5000;
  made.carrierPpm = 5;
  made.points = 16384;
  made.solvent = "DMSO-d6";
  made.solventInAcqus = "-";  // a benchtop file that records none: its title names it
  made.tmsProtons = 0;
  made.solventProtons = 3;
  made.referenceWidthHz = 2.0;  // the quintet of 1.9 Hz about one lump
  made.axisErrorPpm = -2.0;
  // A doublet of the sample at 4.50 ppm, which on the 2 ppm low axis stands at 2.50, the
  // solvent's own place; and a CH2 doublet whose line runs into the solvent's, as
  // ibuprofen's at 2.41.
  made.multiplets = {{4.50, {7.2}, 2, 1.5}, {2.41, {7.1}, 2, 1.5}, {0.85, {6.6}, 6, 1.5}, {7.10, {}, 4, 1.5}};
  const auto s = processed(made, "", "Ibuprofene in DMSO-d6\n");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->solvent, "DMSO-d6") << "from the title";
  EXPECT_EQ(processing::referencing_text(*s), "referenced to DMSO-d5 at 2.50 ppm");
  // The methyl doublet where it belongs: its lines 6.6 Hz apart about 0.85 ppm.
  const double upper = tallest_at(*s, 1.0, 0.85), lower = tallest_at(*s, 0.85, 0.7);
  EXPECT_NEAR((upper + lower) / 2, 0.85, 0.02);
  EXPECT_NEAR((upper - lower) * 43.3, 6.6, 0.3);
}

TEST_F(ReferencingTest, GreaseNearZeroIsNoTmsWhereTheSolventsLineSaysWhereZeroIs) {
  MadeSpectrum made = one_singlet(0.03);
  made.tmsProtons = 0;
  made.multiplets.push_back({0.07, {}, 1, 1.5});  // silicone grease, 0.07 ppm in CDCl3
  const auto s = processed(made);
  ASSERT_TRUE(s);
  EXPECT_EQ(processing::referencing_text(*s), "referenced to CHCl3 at 7.26 ppm");
  EXPECT_NEAR(tallest_at(*s, 0.2, -0.2), 0.07, 0.003);
}

TEST(SolventInTitle, OnlyNamesThatSayTheyAreDeuteratedCount) {
  const struct {
    const char* title;
    const char* solvent;
  } cases[] = {
      {"Ibuprofene in DMSO-d6", "DMSO-d6"},
      {"menthol (CDCl3), 500 MHz", "CDCl3"},
      {"PA1_5000U_200U_MeoD_bin190228", "CD3OD"},
      {"sample in methanol-d4\nsecond line", "CD3OD"},
      {"Benzene in chloroform-d", "CDCl3"},
      {"Benzene, neat", ""},
      {"Methanol extract", ""},
      {"", ""},
  };
  for (const auto& [title, solvent] : cases) EXPECT_EQ(processing::solvent_in_title(title), solvent) << title;
}

}  // namespace
