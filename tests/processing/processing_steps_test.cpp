// The steps of processing on their own: the digital filter's delay, and where 0 ppm is
// found, in the order an NMR program looks for it.
#include <gtest/gtest.h>

#include "processing/group_delay.hpp"
#include "processing/processing.hpp"
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
  } cases[] = {
      {"##$GRPDLY= 67.9842071533203\n##$DECIM= 24\n##$DSPFVS= 10\n", 67.9842071533203},
      // Westler and Abildgaard's table, for consoles that recorded no GRPDLY (or -1).
      {"##$GRPDLY= -1\n##$DECIM= 24\n##$DSPFVS= 10\n", 61.0208},
      {"##$DECIM= 2048\n##$DSPFVS= 11\n", 72.0313},
      {"##$DECIM= 128\n##$DSPFVS= 12\n", 72.524},
      {"##$DECIM= 3\n##$DSPFVS= 12\n", 36.530},
      // No entry, or nothing recorded: where the FID first reaches half its largest value.
      {"##$DECIM= 256\n##$DSPFVS= 12\n", 20},
      {"##$DECIM= 24\n##$DSPFVS= 13\n", 20},
      {"", 20},
  };
  for (const auto& [acqus, delay] : cases) EXPECT_DOUBLE_EQ(processing::group_delay(acqus, fid), delay) << acqus;
  EXPECT_EQ(processing::group_delay("", std::vector<std::complex<double>>(64, 1.0)), 0) << "an FID without a filter's echo";
}

class ReferencingTest : public ::testing::Test {
 protected:
  // The made spectrum's acqus says a carrier 0.05 ppm off: every line lies that far off on
  // the base frequency's axis until a reference puts it back.
  std::optional<processing::Spectrum> processed(MadeSpectrum made, const std::string& procs = "") {
    made.multiplets = {{3.5, {}, 3}};
    made.axisErrorPpm = 0.05;
    const auto fid = make_spectrum_dataset(bench.root.path() / ("made" + std::to_string(++count)), made);
    std::string pdata;
    if (!procs.empty()) {
      write_file(fid.parent_path() / "pdata/1/procs", procs);
      pdata = (fid.parent_path() / "pdata/1/").string();
    }
    return processing::spectrum_of(bench.files, {pdata, fid.string(), (fid.parent_path() / "acqus").string(), ""});
  }
  // Where the spectrum's tallest point lies on its axis.
  static double tallest_at(const processing::Spectrum& s) {
    return s.axis_at(static_cast<double>(std::max_element(s.points.begin(), s.points.end()) - s.points.begin()));
  }
  Workbench bench;
  int count = 0;
};

TEST_F(ReferencingTest, TheOperatorsThenTmsThenTheSolventThenTheBaseFrequency) {
  MadeSpectrum made;
  // The operator's SF: 0 ppm 0.02 ppm above the base frequency, whatever else there is.
  const auto byOperator = processed(made, "##$SF= " + std::to_string(400.13 * (1 + 0.02e-6)) + "\n");
  ASSERT_TRUE(byOperator);
  EXPECT_EQ(byOperator->reference, processing::Reference::Operator);
  EXPECT_NEAR(tallest_at(*byOperator), 3.5 + 0.05 - 0.02, 0.002);
  const auto byTms = processed(made);
  EXPECT_EQ(byTms->reference, processing::Reference::Tms);
  EXPECT_NEAR(tallest_at(*byTms), 3.5, 0.002);
  made.tmsProtons = 0;
  const auto bySolvent = processed(made);
  EXPECT_EQ(bySolvent->reference, processing::Reference::Solvent);
  EXPECT_NEAR(tallest_at(*bySolvent), 3.5, 0.002) << "CHCl3 at 7.26";
  made.solvent = "C6D6";  // whose line (7.16) lies nowhere near
  const auto byCarrier = processed(made);
  EXPECT_EQ(byCarrier->reference, processing::Reference::Carrier);
  EXPECT_NEAR(tallest_at(*byCarrier), 3.55, 0.002);
}

}  // namespace
