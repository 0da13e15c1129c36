// JEOL Delta .jdf files: the real 1D FIDs against values worked out from their headers,
// synthetic 1D and 2D files in both byte orders, spectra, and damaged files.
#include "formats/jeol_delta.hpp"

#include <gtest/gtest.h>

#include <bit>

#include "tests/support/makers.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

class JeolDeltaTest : public ::testing::Test {
 protected:
  ReadBack read(const std::string& bytes) {
    write_file(bench.root.path() / "data.jdf", bytes);
    return read_back(bench.files, bench.root.path() / "data.jdf");
  }
  // A header field set to a big-endian value, as the header's fields are.
  static std::string with_u32(std::string bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
    return bytes;
  }
  Workbench bench;
};

TEST_F(JeolDeltaTest, TheSharedFidsReadAsTheirHeadersSay) {
  const fs::path shared = SHARED_DATASETS;
  if (!fs::is_directory(shared)) GTEST_SKIP() << shared << " is not beside the checkout";
  // Worked out from the files' bytes: the header (big-endian) says 32768 complex points
  // of little-endian doubles from byte 16384, the reals then the imaginaries; the
  // parameter section gives X_SWEEP and X_FREQ in Hz, X_OFFSET in ppm, X_DOMAIN.
  const struct {
    const char* file;
    const char* title;
    double sweepHz, frequencyMHz, offsetPpm;
    const char* nucleus;
    std::uint64_t re0, im0, re1, im1;  // the first two points' bits, imaginaries negated
  } cases[] = {
      {"jeol/pa1-meod-1h.jdf", "PA1_5000U_200U_MeoD_bin190228", 7494.00479616307, 399.78219837825003, 5, "1H",
       0xbed5dcb887b6f02b, 0x3eec0e7d57386a7c, 0x3f47d4bfb73a5731, 0xbf5ee15932d21fc2},
      {"jeol/fluorine-19f.jdf", "MSC007_001 05.05.23 15:00", 120192.30769230769, 470.3635083723063, -100, "19F",
       0x3edff6119eef7542, 0xbee7a78a7b82e2a8, 0xbf520c2fceea593e, 0x3f5c517e1da489e6},
  };
  for (const auto& c : cases) {
    const ReadBack back = read_back(bench.files, shared / c.file);
    ASSERT_TRUE(back.reading.description) << c.file << ": " << back.reading.refusal;
    EXPECT_EQ(back.maker, formats::Maker::JeolDelta);
    const formats::Description& d = *back.reading.description;
    EXPECT_EQ(d.title, c.title);
    EXPECT_EQ(d.acquisition.points, 32768);
    EXPECT_EQ(d.acquisition.fids, 1);
    EXPECT_EQ(d.acquisition.sweepHz, c.sweepHz) << c.file;
    EXPECT_EQ(d.acquisition.frequencyMHz, c.frequencyMHz) << c.file;
    EXPECT_DOUBLE_EQ(d.acquisition.offsetHz, c.offsetPpm * c.frequencyMHz) << c.file;
    EXPECT_EQ(d.acquisition.nucleus, c.nucleus);
    ASSERT_EQ(back.pairs.size(), 2 * 32768u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.pairs[0]), c.re0) << c.file;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.pairs[1]), c.im0) << c.file;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.pairs[2]), c.re1) << c.file;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.pairs[3]), c.im1) << c.file;
  }
}

TEST_F(JeolDeltaTest, SyntheticFilesInEitherByteOrderAndTwoDimensionsReadBackTheirPoints) {
  const Fid one = fid_of_lines({{400, 1}, {-1250, 0.5}}, 1024, 5000);
  for (const bool little : {true, false}) {
    JeolParameters p;
    p.littleEndian = little;
    p.domain = "Carbon13";
    p.offsetPpm = 77.2;
    const ReadBack back = read(jeol_jdf({one}, p));
    ASSERT_TRUE(back.reading.description) << back.reading.refusal;
    EXPECT_EQ(back.pairs, pairs_of({one})) << "the imaginary parts in Bruker's sense";
    EXPECT_EQ(back.acquisition().nucleus, "13C");
    EXPECT_EQ(back.acquisition().sweepHz, 5000);
    EXPECT_EQ(back.acquisition().frequencyMHz, 400);
    EXPECT_DOUBLE_EQ(back.acquisition().offsetHz, 77.2 * 400);
  }
  // 2D: 32 rows of 64 points, in 32 x 32 submatrices; each row an FID.
  std::vector<Fid> rows;
  for (int r = 0; r < 32; ++r) rows.push_back(fid_of_lines({{100.0 * r, 1}}, 64, 5000));
  const ReadBack two = read(jeol_jdf(rows, {}));
  ASSERT_TRUE(two.reading.description) << two.reading.refusal;
  EXPECT_EQ(two.acquisition().fids, 32);
  EXPECT_EQ(two.acquisition().points, 64);
  EXPECT_EQ(two.pairs, pairs_of(rows));
  // Complex along the first axis and real along the second, as an absolute-value HMBC
  // (real-complex, 4) or a TPPI experiment (2) is recorded: the same FIDs.
  for (const std::array<std::uint8_t, 2> types : {std::array<std::uint8_t, 2>{4, 1}, {4, 4}, {3, 4}, {3, 2}}) {
    JeolParameters p;
    p.axisTypes = types;
    const ReadBack mixed = read(jeol_jdf(rows, p));
    ASSERT_TRUE(mixed.reading.description) << int{types[0]} << "," << int{types[1]} << ": " << mixed.reading.refusal;
    EXPECT_EQ(mixed.acquisition().fids, 32);
    EXPECT_EQ(mixed.pairs, pairs_of(rows)) << int{types[0]} << "," << int{types[1]};
  }
}

TEST_F(JeolDeltaTest, AFrequencyDomainFileIsASpectrumAndIsRefused) {
  for (const std::uint8_t unit : {std::uint8_t{13}, std::uint8_t{26}}) {
    JeolParameters p;
    p.firstAxisUnit = unit;
    EXPECT_EQ(read(jeol_jdf({fid_of_lines({{10, 1}}, 64, 5000)}, p)).reading.refusal, formats::kProcessedOnly);
  }
}

TEST_F(JeolDeltaTest, DamagedFilesAreRefusedWithAReasonAndNothingIsAllocatedByTheirSizes) {
  const std::string good = jeol_jdf({fid_of_lines({{10, 1}}, 64, 5000)}, {});
  std::string parameters = good;
  parameters.replace(1360, 4, std::string("\x40\x00\x00\x00", 4));  // record size 64, as it was
  parameters.replace(1368, 4, std::string("\xff\xff\xff\x0f", 4));  // but 2^28 records
  const struct {
    std::string bytes;
    const char* why;
  } cases[] = {
      {good.substr(0, 1000), "its header is cut short: the file holds 1000 bytes"},
      {good.substr(0, good.size() - 8), "its header says 1024 bytes of data from byte 1632, the file holds"},
      {with_u32(good, 176, 0xffffffff), "its axis 1 claims points 0 to 63 of 4294967295"},
      {with_u32(good, 240, 64), "its axis 1 claims points 0 to 64 of 64"},
      {with_u32(good, 1284, 0xfffffff0), "its header says 1024 bytes of data from byte 4294967280"},
      {with_u32(good, 1216, 0x7fffffff), "its parameter section (2147483647 bytes at 1360) does not lie within"},
      {parameters, "its parameter section claims 268435456 records of 64 bytes"},
      {good.substr(0, 12) + "\3" + good.substr(13), "it holds 3-dimensional data"},
      {good.substr(0, 14) + "\x81" + good.substr(15), "its data format (2) is not read"},
      {good.substr(0, 24) + "\5" + good.substr(25), "its axis 1 is of a type (5) not read"},
      {good.substr(0, 8) + "\7" + good.substr(9), "its byte order (7) is neither 0 nor 1"},
  };
  for (const auto& [bytes, why] : cases) {
    const ReadBack back = read(bytes);
    EXPECT_EQ(back.maker, formats::Maker::JeolDelta);
    EXPECT_FALSE(back.reading.description) << why;
    EXPECT_NE(back.reading.refusal.find(why), std::string::npos) << why << ": " << back.reading.refusal;
  }
}

}  // namespace
