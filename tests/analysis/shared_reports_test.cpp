// The reports of the shared real datasets, against what a chemist reads off them.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/analysis.hpp"
#include "analysis/report.hpp"
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

TEST_F(SharedReportsTest, AspirinsAromaticProtonsAndItsMethylAreNamedAsAChemistNamesThem) {
  const processing::Spectrum s = from_fid("aspirin-1h/1");
  const analysis::Analysis a = analysis::analyse(s);
  const std::string report = analysis::report_of(s, a);
  std::cout << report;
  std::vector<std::string> aromatic;
  for (const analysis::Multiplet& m : a.multiplets) {
    if (m.shift > 6.5 && m.shift < 8.2) {
      aromatic.push_back(m.pattern);
      EXPECT_EQ(m.protons, 1) << m.shift;
    }
    if (m.shift > 2 && m.shift < 2.6) {
      EXPECT_EQ(m.pattern, "s");
      EXPECT_EQ(m.protons, 3);
    }
  }
  EXPECT_EQ(aromatic, (std::vector<std::string>{"dd", "td", "td", "dd"})) << report;
}

}  // namespace
