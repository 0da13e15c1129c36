// The real datasets beside the checkout sound as their parameters say.
#include <gtest/gtest.h>

#include <fftw3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <cstdlib>

#include "intake/dataset_intake.hpp"
#include "processing/spectrum.hpp"
#include "bruker/parameters.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/peaks.hpp"
#include "tests/support/pictures.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/readings.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

std::vector<std::int32_t> listed(const std::string& listing) {
  std::vector<std::int32_t> values;
  for (std::size_t at = 0; at < listing.size(); at = listing.find('\n', at) + 1) {
    values.push_back(static_cast<std::int32_t>(std::strtol(listing.c_str() + at, nullptr, 10)));
  }
  return values;
}

// Lag-1 autocorrelation: near 1 or -1 for a chord of tones, near 0 for white noise.
template <typename Number>
double lag1(const std::vector<Number>& v) {
  double mean = 0;
  for (const auto x : v) mean += static_cast<double>(x) / static_cast<double>(v.size());
  double products = 0, squares = 0;
  for (std::size_t i = 0; i + 1 < v.size(); ++i) products += (v[i] - mean) * (v[i + 1] - mean);
  for (const auto x : v) squares += (x - mean) * (x - mean);
  return products / squares;
}

// The first n sounded words of a file, read in the byte order the parameters do not say.
std::vector<double> misread(const std::string& bytes, bool bigEndian, std::size_t n) {
  std::vector<double> words;
  for (std::size_t k = 0; k < n; ++k) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + 324 + 8 * k);
    words.push_back(bigEndian ? bruker::int32_at<bruker::ByteOrder::Big>(p)
                              : bruker::int32_at<bruker::ByteOrder::Little>(p));
  }
  return words;
}

// Little-endian 32-bit words of a file, as doubles.
std::vector<double> little_words(const std::string& bytes) {
  std::vector<double> words;
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    words.push_back(bruker::int32_at<bruker::ByteOrder::Little>(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
  }
  return words;
}

// The ppm of the tallest point of a processed spectrum (little-endian 32-bit, as all
// three datasets' are).
double tallest_processed_ppm(const fs::path& pdata) {
  const std::string procs = read_file(pdata / "procs");
  const std::vector<double> points = little_words(read_file(pdata / "1r"));
  const auto tallest = static_cast<double>(std::max_element(points.begin(), points.end()) - points.begin());
  const double span = *bruker::real_parameter(procs, "SW_p") / *bruker::real_parameter(procs, "SF");
  return *bruker::real_parameter(procs, "OFFSET") - tallest / static_cast<double>(points.size() - 1) * span;
}

// The ppm of the tallest point of the transform of the FID's first 65536 complex points
// behind its 80-word lead-in.
double tallest_transformed_ppm(const fs::path& data, const std::string& acqus) {
  const std::vector<double> words = little_words(read_file(data));
  constexpr int kPoints = 65536;
  std::vector<std::complex<double>> z(kPoints);
  for (int k = 0; k < kPoints; ++k) z[k] = {words[80 + 2 * k], words[81 + 2 * k]};
  auto* in = reinterpret_cast<fftw_complex*>(z.data());
  const fftw_plan plan = fftw_plan_dft_1d(kPoints, in, in, FFTW_FORWARD, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  const auto bin = std::max_element(z.begin(), z.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); }) - z.begin();
  const double hz = static_cast<double>(bin < kPoints / 2 ? bin : bin - kPoints) * *bruker::real_parameter(acqus, "SW_h") / kPoints;
  return (*bruker::real_parameter(acqus, "O1") + hz) / *bruker::real_parameter(acqus, "BF1");
}

class SharedDatasetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kShared)) GTEST_SKIP() << kShared << " is not beside the checkout";
  }
  const fs::path kShared = SHARED_DATASETS;
  Workbench bench;
  common::FormMemory memory;
};

TEST_F(SharedDatasetsTest, EachSoundsAsAChordOfTonesInItsOwnByteOrderAndAsNoiseInTheOther) {
  const struct {
    const char* given;  // as a user names it
    const char* file;
    bool bigEndian;
  } cases[] = {
      {"aspirin-1h/1/fid", "aspirin-1h/1/fid", true},
      {"strychnine-1h/10", "strychnine-1h/10/fid", false},
      {"coffee-jres-2d/13/ser", "coffee-jres-2d/13/ser", false},
  };
  for (const auto& [given, file, bigEndian] : cases) {
    const auto result = intake::loadFIDfile(bench.services, memory, (kShared / given).string());
    EXPECT_EQ(result.sound->format.order, bigEndian ? bruker::ByteOrder::Big : bruker::ByteOrder::Little) << given;
    EXPECT_EQ(result.dataFile, (kShared / file).string());
    const std::string data = read_file(kShared / file);
    EXPECT_EQ(read_file(bench.scratch("fid")), data) << given;
    EXPECT_EQ(read_file(bench.scratch("acqus")), read_file(fs::path(kShared / file).parent_path() / "acqus"));
    const auto values = listed(read_file(bench.scratch("fid.xls")));
    ASSERT_EQ(values.size(), (data.size() - 320) / 8) << given;
    const std::vector<std::int32_t> first(values.begin(), values.begin() + 4096);
    EXPECT_GT(std::abs(lag1(first)), 0.2) << given << ": tones";
    EXPECT_LT(std::abs(lag1(misread(data, !bigEndian, 4096))), 0.1) << given << ": the other order";
  }
}

TEST_F(SharedDatasetsTest, TheSerOfATwoDimensionalSetSoundsItsFortyFidsUnderItsFoldersTitle) {
  // A copy, given a title of its own (the published set has none).
  const fs::path folder = bench.root.path() / "coffee/13";
  fs::create_directories(folder);
  fs::copy(kShared / "coffee-jres-2d/13", folder, fs::copy_options::recursive);
  write_file(folder / "pdata/1/title", "coffee extract, J-resolved");
  ASSERT_TRUE(intake::loadFIDfile(bench.services, memory, folder.string()).copied);
  EXPECT_EQ(bench.window.title_text, (folder / "ser").string() + "\rcoffee extract, J-resolved");
  // 40 FIDs of 8192 words: 40 * 4096 pairs, less the 40 of the lead-in.
  EXPECT_EQ(listed(read_file(bench.scratch("fid.xls"))).size(), 40u * 4096 - 40);
}

TEST_F(SharedDatasetsTest, EachIsDrawnWithItsTallestPeakWhereItsDataSay) {
  const struct {
    const char* dataset;
    bool processed;  // a 1r to draw from; else the FID's transform
  } cases[] = {{"aspirin-1h/1", true}, {"strychnine-1h/10", true}, {"coffee-jres-2d/13", false}};
  for (const auto& [dataset, processed] : cases) {
    const fs::path folder = kShared / dataset;
    bench.window.enabled.clear();
    const auto result = intake::loadFIDfile(bench.services, memory, folder.string());
    ASSERT_TRUE(result.picture) << dataset;
    EXPECT_TRUE(bench.window.enabled[platform::Button::Command3]) << dataset << ": the drawing stands in for a plot";
    EXPECT_TRUE(ghostscript_reads_eps(bench.scratch("spectrum.eps").string())) << dataset;
    const auto greys = gif_greys(read_file(bench.scratch("spectrum.gif")));
    ASSERT_TRUE(greys.has_value()) << dataset;

    const double ppm = processed ? tallest_processed_ppm(folder / "pdata/1")
                                 : tallest_transformed_ppm(result.dataFile, read_file(folder / "acqus"));
    const auto drawn = scratch_trace(bench.files, (folder / "pdata/1/").string());
    ASSERT_TRUE(drawn.has_value());
    EXPECT_NEAR(tallest_peak_x(*greys).value_or(-100), spectrum::x_of(*drawn, ppm), 3) << dataset << " at " << ppm << " ppm";
    // Its peaks, read out, hold its tallest point.
    const auto tallest = std::find_if(result.peaks.begin(), result.peaks.end(), [](const auto& p) { return p.percent == 100; });
    ASSERT_NE(tallest, result.peaks.end()) << dataset;
    EXPECT_NEAR(tallest->at, ppm, processed ? 0.02 : 0.05) << dataset << ": " << read_file(bench.scratch("peaks.txt"));
    EXPECT_EQ(read_file(bench.scratch("peaks.txt")), spectrum::peaks_file(result.peaks, drawn->axis));
  }
}

// Where the three tallest maxima of the magnitude of the scratch FID's transform lie, on
// acqus's axis (O1, BF1): worked out here, as a check that phasing moved no line.
std::vector<double> tallest_magnitude_ppms(const std::string& doubles, const std::string& acqus) {
  const std::size_t n = std::bit_floor(doubles.size() / 16);
  std::vector<std::complex<double>> z(n);
  for (std::size_t k = 0; k < n; ++k) {
    const auto* p = reinterpret_cast<const unsigned char*>(doubles.data() + 16 * k);
    z[k] = {bruker::float64_at<bruker::ByteOrder::Little>(p), bruker::float64_at<bruker::ByteOrder::Little>(p + 8)};
  }
  auto* in = reinterpret_cast<fftw_complex*>(z.data());
  const fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(n), in, in, FFTW_FORWARD, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  std::vector<std::size_t> maxima;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::abs(z[i]) > std::abs(z[(i + n - 1) % n]) && std::abs(z[i]) >= std::abs(z[(i + 1) % n])) maxima.push_back(i);
  }
  std::sort(maxima.begin(), maxima.end(), [&](std::size_t a, std::size_t b) { return std::abs(z[a]) > std::abs(z[b]); });
  std::vector<double> ppm;
  for (std::size_t k = 0; k < 3 && k < maxima.size(); ++k) {
    const auto signedBin = static_cast<double>(maxima[k] < n / 2 ? static_cast<long>(maxima[k]) : static_cast<long>(maxima[k]) - static_cast<long>(n));
    ppm.push_back((*bruker::real_parameter(acqus, "O1") + signedBin * *bruker::real_parameter(acqus, "SW_h") / static_cast<double>(n)) /
                  *bruker::real_parameter(acqus, "BF1"));
  }
  return ppm;
}

TEST_F(SharedDatasetsTest, TheConvertedDatasetsArePhasedWithTheirLinesWhereTheirMakersPutThem) {
  // The Bruker aspirin without its 1r, and its JCAMP-DX export: one reading, the same
  // multiplets to the rounding of their last digits.
  const fs::path aspirin = bench.root.path() / "aspirin/1";
  fs::create_directories(aspirin);
  fs::copy(kShared / "aspirin-1h/1", aspirin, fs::copy_options::recursive);
  fs::remove(aspirin / "pdata/1/1r");
  const auto bruker = intake::loadFIDfile(bench.services, memory, aspirin.string());
  ASSERT_TRUE(bruker.spectrum);
  const std::string report = read_file(bench.scratch("report.txt"));
  EXPECT_TRUE(report.starts_with("1H NMR (300 MHz, CDCl3) \u03b4 ")) << report;
  const auto jcamp = intake::loadFIDfile(bench.services, memory, (kShared / "jcamp/aspirin-1h.fid.dx").string());
  ASSERT_TRUE(jcamp.spectrum);
  std::vector<Reading> asBruker;
  for (const analysis::Multiplet& m : bruker.analysis.multiplets) asBruker.push_back({m.shift, m.pattern, m.couplings, m.protons});
  EXPECT_EQ(misreadings(jcamp.analysis.multiplets, asBruker), std::vector<std::string>{}) << report << read_file(bench.scratch("report.txt"));

  // The methanol-d4 sample's tallest line is its HDO: at 4.85 ppm on the maker's axis (the
  // shared README), at 4.87, where Fulmer et al. put it, once the residual CHD2OD is put at
  // 3.31 (mirrored, it would stand at 5.15); the 19F sample's, one of the magnitude's
  // tallest.
  for (const char* file : {"jeol/pa1-meod-1h.jdf", "jeol/fluorine-19f.jdf"}) {
    const auto result = intake::loadFIDfile(bench.services, memory, (kShared / file).string());
    ASSERT_TRUE(result.spectrum) << file;
    const processing::Spectrum& s = *result.spectrum;
    const auto tallest = std::max_element(s.points.begin(), s.points.end());
    const double at = s.axis_at(static_cast<double>(tallest - s.points.begin()));
    const std::vector<double> expected = std::string(file).find("pa1") != std::string::npos
                                             ? std::vector<double>{4.87}
                                             : tallest_magnitude_ppms(read_file(bench.scratch("fid")), read_file(bench.scratch("acqus")));
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](double ppm) { return std::fabs(ppm - at) <= 0.01; }))
        << file << ": " << at;
    // Phased: its lines stand up; a dispersive line dips as far below as it rises.
    EXPECT_GT(*std::min_element(s.points.begin(), s.points.end()), -0.05 * *tallest) << file;
  }
}

}  // namespace
