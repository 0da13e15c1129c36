// Agilent/Varian VnmrJ datasets, from a generator of their layout: 16-bit, 32-bit and
// float words, blocks of several traces, procpar's parameters, and damaged files.
#include "formats/varian_vnmrj.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/makers.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

class VarianVnmrjTest : public ::testing::Test {
 protected:
  VarianVnmrjTest() {
    write_file(folder / "procpar", procpar({{"sw", "8000"}, {"sfrq", "399.876"}, {"tn", "\"H1\""}, {"np", "256"},
                                            {"rfl", "1500"}, {"rfp", "399.876"}}));
    write_file(folder / "text", "watergate 1D\n");
  }
  ReadBack read(const std::string& fid) {
    write_file(folder / "fid", fid);
    return read_back(bench.files, folder / "fid");
  }
  // Integers, as the 16- and 32-bit words hold them.
  static std::vector<Fid> rounded(std::vector<Fid> fids) {
    for (Fid& fid : fids) {
      for (auto& z : fid) z = {std::round(z.real()), std::round(z.imag())};
    }
    return fids;
  }
  Workbench bench;
  std::filesystem::path folder = bench.root.path() / "water.fid";
};

TEST_F(VarianVnmrjTest, EachWordKindReadsBackTheGeneratorsPointsAndProcparsParameters) {
  const Fid fid = fid_of_lines({{-900, 20000}, {250, 9000}}, 128, 8000);
  const struct {
    VnmrjWords words;
    std::vector<Fid> expected;
  } cases[] = {{VnmrjWords::Int32, rounded({fid})}, {VnmrjWords::Int16, rounded({fid})}, {VnmrjWords::Float32, {fid}}};
  for (const auto& [words, expected] : cases) {
    const ReadBack back = read(vnmrj_fid({fid}, words));
    ASSERT_EQ(back.maker, formats::Maker::VarianVnmrj);
    ASSERT_TRUE(back.reading.description) << back.reading.refusal;
    EXPECT_EQ(back.pairs, words == VnmrjWords::Float32 ? in_floats(pairs_of(expected)) : pairs_of(expected));
    const formats::Description& d = *back.reading.description;
    EXPECT_EQ(d.title, "watergate 1D");
    EXPECT_EQ(d.acquisition.points, 128);
    EXPECT_EQ(d.acquisition.sweepHz, 8000);
    EXPECT_EQ(d.acquisition.frequencyMHz, 399.876);
    // The reference line 1500 Hz from the low end is at 1 ppm: ppm = (4000 - 1500 + 399.876 + f) / sfrq.
    EXPECT_DOUBLE_EQ(d.acquisition.offsetHz, 4000 - 1500 + 399.876);
    EXPECT_EQ(d.acquisition.nucleus, "1H");
  }
}

TEST_F(VarianVnmrjTest, EveryTraceOfEveryBlockIsAnFidInTurn) {
  std::vector<Fid> fids;
  for (int i = 0; i < 6; ++i) fids.push_back(fid_of_lines({{100.0 * i, 1000}}, 32, 8000));
  const ReadBack back = read(vnmrj_fid(fids, VnmrjWords::Int32, 2));
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  EXPECT_EQ(back.acquisition().fids, 6);
  EXPECT_EQ(back.pairs, pairs_of(rounded(fids)));
}

TEST_F(VarianVnmrjTest, WithoutProcparOrWithSizesThatDoNotAddUpItIsNoVnmrjFile) {
  const std::string fid = vnmrj_fid({fid_of_lines({{10, 100}}, 32, 8000)}, VnmrjWords::Int32);
  EXPECT_EQ(read(fid + "x").maker, formats::Maker::Bruker) << "one byte too many";
  std::filesystem::remove(folder / "procpar");
  EXPECT_EQ(read(fid).maker, formats::Maker::Bruker);
}

TEST_F(VarianVnmrjTest, DamagedOrProcessedDatasetsAreRefusedWithAReason) {
  const std::string good = vnmrj_fid({fid_of_lines({{10, 100}}, 32, 8000)}, VnmrjWords::Int32);
  std::string spectrum = good, floatsInShorts = good, noData = good;
  spectrum[27] = static_cast<char>(spectrum[27] | 0x2);
  floatsInShorts[27] = static_cast<char>((floatsInShorts[27] & ~0x4) | 0x8);
  floatsInShorts[15] = 2;
  noData[27] = static_cast<char>(noData[27] & ~0x1);
  const auto refusal = [&](const std::string& bytes) {
    write_file(folder / "fid", bytes);
    formats::Source source(bench.files, (folder / "fid").string());
    struct Nowhere final : formats::PointSink {
      void put(const double*, std::size_t) override {}
    } nowhere;
    return formats::read_varian_vnmrj(source, nowhere).refusal;
  };
  EXPECT_EQ(refusal(spectrum), formats::kProcessedOnly);
  EXPECT_EQ(refusal(noData), "its header says it holds no data");
  EXPECT_NE(refusal(good.substr(0, 40)).find("its header says 1 blocks of 284 bytes, the file holds 40"), std::string::npos);
  EXPECT_EQ(refusal(good.substr(0, 20)), "its header is cut short");
  EXPECT_NE(refusal(floatsInShorts).find("do not add up"), std::string::npos);
  std::string overflowing = good;
  overflowing.replace(0, 4, std::string("\x7f\xff\xff\xff", 4));  // 2^31 - 1 blocks
  EXPECT_NE(refusal(overflowing).find("its header says 2147483647 blocks of 284 bytes"), std::string::npos);

  write_file(folder / "procpar", "sw 1 1 1e+18 -1e+18 0 2 1 0 1 64\n1 8000\n0\ntn 2 2 8 0 0 2 1 0 1 64\n1 \"H1");
  EXPECT_EQ(refusal(good), "procpar breaks off in tn");
  write_file(folder / "procpar", procpar({{"sfrq", "399.876"}}));
  EXPECT_EQ(refusal(good), "its procpar gives no spectral width (sw)");
}

TEST(Procpar, ValuesOfEveryKindAndTheirChoicesAreRead) {
  const auto p = formats::parse_procpar(
      "sw 1 1 1e+09 0 0 2 1 11 1 64\n1 8012.820513 \n0 \n"
      "tn 2 2 8 0 0 2 1 8 1 64\n1 \"H1\"\n0 \n"
      "array 2 2 8 0 0 2 1 8 1 64\n2 \"one \\\"quoted\\\"\"\n\"two\"\n3 \"a\" \"b\" \"c\"\n"
      "pw 1 1 1e+09 0 0 2 1 11 1 64\n3 9.5 10 10.5\n2 1 2\n");
  EXPECT_EQ(p.damage, "");
  EXPECT_EQ(p.values.at("sw"), std::vector<std::string>{"8012.820513"});
  EXPECT_EQ(p.values.at("tn"), std::vector<std::string>{"H1"});
  EXPECT_EQ(p.values.at("array"), (std::vector<std::string>{"one \"quoted\"", "two"}));
  EXPECT_EQ(p.values.at("pw"), (std::vector<std::string>{"9.5", "10", "10.5"}));
  EXPECT_EQ(formats::parse_procpar("sw 1 1 1e+09 0 0 2 1 11 1 64\nmany 8000\n0\n").damage, "procpar's sw has no count of values");
}

}  // namespace
