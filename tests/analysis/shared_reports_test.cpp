// The reports of the shared real datasets, against what a chemist reads off them.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/analysis.hpp"
#include "analysis/report.hpp"
#include "tests/support/readings.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

class SharedReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(shared_datasets())) GTEST_SKIP() << shared_datasets() << " is not beside the checkout";
  }
  processing::Spectrum from_fid(const std::string& dataset) {
    const auto s = processed_without_1r(bench.files, bench.root.path(), dataset);
    EXPECT_TRUE(s.has_value());
    return s.value_or(processing::Spectrum{});
  }
  Workbench bench;
};

// Aspirin in CDCl3 at 300 MHz, on its spectrometer's axis (nothing references it): its
// four aromatic protons and its methyl as a chemist reads them off the operator's spectrum.
TEST_F(SharedReportsTest, AspirinsAromaticProtonsAndItsMethylAreReadAsAChemistReadsThem) {
  const processing::Spectrum s = from_fid("aspirin-1h/1");
  const analysis::Analysis a = analysis::analyse(s);
  const std::vector<Reading> chemist = {{8.04, "dd", {7.8, 1.7}, 1},
                                        {7.53, "td", {7.8, 1.7}, 1},
                                        {7.28, "td", {7.6, 1.1}, 1},
                                        {7.07, "dd", {8.1, 1.0}, 1},
                                        {2.29, "s", {}, 3}};
  EXPECT_EQ(misreadings(a.multiplets, chemist), std::vector<std::string>{}) << analysis::report_of(s, a);
}

}  // namespace
