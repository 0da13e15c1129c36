// The shared Bruker datasets processed from their FIDs, with their processed spectra taken
// away, against what their operators made: the spectrum and its tallest lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "processing/processing.hpp"
#include "bruker/parameters.hpp"
#include "bruker/word_format.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

// The operator's 1r as its procs says: little-endian 32-bit words times 2^NC_proc, from
// OFFSET ppm down in steps of SW_p / SI / SF.
struct Operators {
  std::vector<double> ppm, y;
};
Operators operators_spectrum(const fs::path& pdata) {
  const std::string procs = read_file(pdata / "procs");
  const std::string bytes = read_file(pdata / "1r");
  const double scale = std::ldexp(1.0, static_cast<int>(*bruker::integer_parameter(procs, "NC_proc")));
  const double offset = *bruker::real_parameter(procs, "OFFSET"), sf = *bruker::real_parameter(procs, "SF");
  const double step = *bruker::real_parameter(procs, "SW_p") / static_cast<double>(*bruker::integer_parameter(procs, "SI")) / sf;
  Operators o;
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    o.ppm.push_back(offset - static_cast<double>(at / 4) * step);
    o.y.push_back(bruker::int32_at<bruker::ByteOrder::Little>(reinterpret_cast<const unsigned char*>(bytes.data() + at)) * scale);
  }
  return o;
}

// The ppm of the n tallest local maxima, tallest first.
std::vector<double> tallest_maxima(const std::vector<double>& ppm, const std::vector<double>& y, std::size_t n) {
  std::vector<std::size_t> maxima;
  for (std::size_t i = 1; i + 1 < y.size(); ++i) {
    if (y[i] > y[i - 1] && y[i] >= y[i + 1]) maxima.push_back(i);
  }
  std::sort(maxima.begin(), maxima.end(), [&](std::size_t a, std::size_t b) { return y[a] > y[b]; });
  std::vector<double> at;
  for (std::size_t k = 0; k < std::min(n, maxima.size()); ++k) at.push_back(ppm[maxima[k]]);
  return at;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
  const auto n = static_cast<double>(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) sa += a[i], sb += b[i], saa += a[i] * a[i], sbb += b[i] * b[i], sab += a[i] * b[i];
  return (sab - sa * sb / n) / std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
}

class SharedSpectraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kShared)) GTEST_SKIP() << kShared << " is not beside the checkout";
  }
  processing::Spectrum from_fid(const std::string& dataset) {
    const auto s = processed_without_1r(bench.files, bench.root.path(), dataset);
    EXPECT_TRUE(s.has_value());
    return s.value_or(processing::Spectrum{});
  }
  const fs::path kShared = shared_datasets();
  Workbench bench;
};

TEST_F(SharedSpectraTest, TheSpectrumMadeFromTheFidIsTheOperators) {
  // Strychnine's operator calibrated (procs's SF is not BF1); aspirin's did not, and its
  // spectrum has neither TMS nor a CHCl3 line: both stay on the operator's axis.
  const struct {
    const char* dataset;
    processing::Reference reference;
  } cases[] = {{"aspirin-1h/1", processing::Reference::Carrier}, {"strychnine-1h/10", processing::Reference::Operator}};
  for (const auto& [dataset, reference] : cases) {
    const processing::Spectrum s = from_fid(dataset);
    EXPECT_EQ(s.referencing.kind, reference) << dataset;
    const Operators o = operators_spectrum(kShared / dataset / "pdata/1");
    // Ours at the operator's points, by linear interpolation.
    std::vector<double> ours;
    for (const double ppm : o.ppm) {
      const double at = std::clamp(s.index_of(ppm), 0.0, static_cast<double>(s.points.size() - 2));
      const auto i = static_cast<std::size_t>(at);
      ours.push_back(s.points[i] + (s.points[i + 1] - s.points[i]) * (at - static_cast<double>(i)));
    }
    const double r = correlation(ours, o.y);
    std::cout << dataset << ": correlation with the operator's 1r " << r << "\n";
    EXPECT_GE(r, 0.98) << dataset;
    std::vector<double> axis;
    for (std::size_t i = 0; i < s.points.size(); ++i) axis.push_back(s.axis_at(static_cast<double>(i)));
    const auto mine = tallest_maxima(axis, {s.points.begin(), s.points.end()}, 5);
    const auto theirs = tallest_maxima(o.ppm, o.y, 5);
    ASSERT_EQ(mine.size(), 5u);
    for (const double ppm : theirs) {
      const double nearest = *std::min_element(mine.begin(), mine.end(), [&](double a, double b) { return std::fabs(a - ppm) < std::fabs(b - ppm); });
      EXPECT_NEAR(nearest, ppm, 0.005) << dataset;
    }
  }
}

}  // namespace
