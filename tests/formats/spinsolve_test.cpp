// Magritek Spinsolve datasets, from a generator of their layout: data.1d with its time
// axis, data.2d, acqu.par, spectra and damaged files.
#include "formats/spinsolve.hpp"

#include <gtest/gtest.h>

#include <bit>

#include "tests/support/makers.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

class SpinsolveTest : public ::testing::Test {
 protected:
  SpinsolveTest() {
    write_file(folder / "acqu.par",
               "b1Freq                    = 43.4996\nbandwidth                 = 5\nlowestFrequency           = -330\n"
               "nrPnts                    = 64\nrxChannel                 = \"1H\"\nSample                    = \"ibuprofen\"\n");
  }
  ReadBack read(const std::string& bytes, const std::string& name = "data.1d") {
    write_file(folder / name, bytes);
    return read_back(bench.files, folder / name);
  }
  Workbench bench;
  std::filesystem::path folder = bench.root.path() / "ibuprofen";
};

TEST_F(SpinsolveTest, AData1dReadsBackItsPointsAndAcquParsParameters) {
  const Fid fid = fid_of_lines({{300, 1}, {-1200, 0.25}}, 64, 5000);
  for (const bool axis : {true, false}) {
    const ReadBack back = read(spinsolve_data({fid}, axis, 1 / 5000.0));
    ASSERT_EQ(back.maker, formats::Maker::MagritekSpinsolve);
    ASSERT_TRUE(back.reading.description) << back.reading.refusal;
    EXPECT_EQ(back.pairs, in_floats(pairs_of({fid})));
    const formats::Description& d = *back.reading.description;
    EXPECT_EQ(d.title, "ibuprofen");
    EXPECT_EQ(d.acquisition.points, 64);
    EXPECT_EQ(d.acquisition.sweepHz, 5000) << "bandwidth is in kHz";
    EXPECT_EQ(d.acquisition.frequencyMHz, 43.4996);
    EXPECT_EQ(d.acquisition.offsetHz, -330 + 2500) << "the low end is 330 Hz below the reference";
    EXPECT_EQ(d.acquisition.nucleus, "1H");
  }
  std::vector<Fid> rows = {fid, fid_of_lines({{20, 1}}, 64, 5000), fid_of_lines({{-20, 1}}, 64, 5000)};
  const ReadBack two = read(spinsolve_data(rows, true, 1 / 5000.0), "data.2d");
  ASSERT_TRUE(two.reading.description) << two.reading.refusal;
  EXPECT_EQ(two.acquisition().fids, 3);
  EXPECT_EQ(two.pairs, in_floats(pairs_of(rows)));
}

TEST_F(SpinsolveTest, TheGeneratorWritesARealFilesHeaderAndOnlyThatMarkIsSpinsolves) {
  // A real data.1d (ibuprofen, 43 MHz) opens "SORPATAD1.1V": "PROS", "DATA" and "V1.1" as
  // little-endian words; then the type 504, its 32768 points and three 1s, all 32-bit.
  const std::string file = spinsolve_data({fid_of_lines({{300, 1}}, 32768, 5000)}, true, 1 / 5000.0);
  EXPECT_EQ(file.substr(0, 32), std::string("SORPATAD1.1V\xf8\x01\0\0\0\x80\0\0\1\0\0\0\1\0\0\0\1\0\0\0", 32));
  EXPECT_EQ(file.size(), 32 + 32768 * 4 + 32768 * 8u) << "the time axis of floats, then the complex points";
  EXPECT_EQ(read(file).maker, formats::Maker::MagritekSpinsolve);
  // Only the real mark: a file that merely opens with "DATA" is nobody's, and so Bruker's.
  EXPECT_EQ(read("DATA" + file.substr(4)).maker, formats::Maker::Bruker);
  EXPECT_EQ(read("ATAD" + file.substr(4)).maker, formats::Maker::Bruker);
}

TEST_F(SpinsolveTest, TheTitleIsTheOperatorsGraphTextElseTheSample) {
  const std::string file = spinsolve_data({fid_of_lines({{300, 1}}, 64, 5000)}, true, 1 / 5000.0);
  write_file(folder / "acqu.par", "bandwidth = 5\nSample = \"ibuprofen\"\ngraphText = \"Ibuprofene in DMSO-d6\"\n");
  EXPECT_EQ(read(file).reading.description->title, "Ibuprofene in DMSO-d6");
  write_file(folder / "acqu.par", "bandwidth = 5\nSample = \"ibuprofen\"\ngraphText = \"\"\n");
  EXPECT_EQ(read(file).reading.description->title, "ibuprofen");
}

TEST_F(SpinsolveTest, ASpectrumIsRefusedByItsNameOrItsAxis) {
  const Fid fid = fid_of_lines({{300, 1}}, 64, 5000);
  for (const char* name : {"spectrum.1d", "spectrum_processed.1d"}) {
    EXPECT_EQ(read(spinsolve_data({fid}, true, 1 / 5000.0), name).reading.refusal, formats::kProcessedOnly) << name;
  }
  std::string ppmAxis = spinsolve_data({fid}, true, 1 / 5000.0);
  ppmAxis.replace(32, 4, std::string("\x00\x00\x20\x41", 4));  // the axis starts at 10, not 0
  EXPECT_EQ(read(ppmAxis).reading.refusal, formats::kProcessedOnly);
  std::string frequencies = spinsolve_data({fid}, true, 1 / 5000.0);
  frequencies.replace(32, 4, std::string("\x00\x00\x7a\xc4", 4));  // from -1000 Hz up: through 0
  EXPECT_EQ(read(frequencies).reading.refusal, formats::kProcessedOnly);
  // A time axis that starts at its first dwell, not 0, is still one of time.
  std::string fromDwell = spinsolve_data({fid}, true, 1 / 5000.0);
  for (std::size_t i = 0; i < 64; ++i) {
    const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(static_cast<double>(i + 1) / 5000.0));
    for (std::size_t b = 0; b < 4; ++b) fromDwell[32 + 4 * i + b] = static_cast<char>(bits >> (8 * b));
  }
  EXPECT_TRUE(read(fromDwell).reading.description) << read(fromDwell).reading.refusal;
}

TEST_F(SpinsolveTest, DamagedFilesAreRefusedWithAReason) {
  const std::string good = spinsolve_data({fid_of_lines({{300, 1}}, 64, 5000)}, true, 1 / 5000.0);
  std::string real = good, huge = good;
  real.replace(12, 4, std::string("\xf4\x01\x00\x00", 4));  // 500: real floats
  huge.replace(20, 4, std::string("\xff\xff\xff\x7f", 4));
  EXPECT_EQ(read(good.substr(0, 20)).reading.refusal, "its header is cut short");
  EXPECT_EQ(read(good + "xx").reading.refusal, "its header says 800 bytes, the file holds 802");
  EXPECT_EQ(read(real).reading.refusal, "its data type (500) is not one of complex points");
  EXPECT_EQ(read(huge).reading.refusal, "its dimensions (64 x 2147483647 x 1 x 1) are not read");
  std::filesystem::remove(folder / "acqu.par");
  EXPECT_EQ(read(good).reading.refusal, "no acqu.par beside it gives its bandwidth");
}

}  // namespace
