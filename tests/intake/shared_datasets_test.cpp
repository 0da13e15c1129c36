// The real datasets beside the checkout sound as their parameters say.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "intake/dataset_intake.hpp"
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
    words.push_back(bigEndian ? sound::int32_at<sound::ByteOrder::Big>(p)
                              : sound::int32_at<sound::ByteOrder::Little>(p));
  }
  return words;
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
    EXPECT_EQ(result.sound.format.order, bigEndian ? sound::ByteOrder::Big : sound::ByteOrder::Little) << given;
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

}  // namespace
