// JCAMP-DX NMR FIDs: every number form, the DIF check at a line break, pages and
// factors, a compound file, a 2D file, the real aspirin export, and damaged files.
#include "formats/jcamp_dx.hpp"

#include <gtest/gtest.h>

#include "formats/asdf.hpp"
#include "bruker/word_format.hpp"
#include "tests/support/makers.hpp"
#include "tests/support/process.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

class JcampDxTest : public ::testing::Test {
 protected:
  ReadBack read(const std::string& text, const std::string& name = "fid.jdx") {
    write_file(bench.root.path() / name, text);
    return read_back(bench.files, bench.root.path() / name);
  }
  Workbench bench;
};

std::vector<double> decoded(const std::string& line, std::string* why = nullptr, std::int64_t most = 1000) {
  formats::AsdfLine decoded;
  const std::string error = formats::decode_asdf_line(line, decoded, most);
  if (why) *why = error;
  return decoded.ys.expanded();
}

TEST(Asdf, EveryFormDecodesToTheSameOrdinates) {
  const struct {
    const char* line;
    std::vector<double> ys;
    bool endsInDif;
  } cases[] = {
      {"0 1000 1000 1001 1003 -7", {1000, 1000, 1001, 1003, -7}, false},      // AFFN
      {"0 1.5E+03, -2E-01;12", {1500, -0.2, 12}, false},                       // AFFN exponents, separators
      {"0+1000+1000+1001+1003-7", {1000, 1000, 1001, 1003, -7}, false},       // PAC
      {"0A000A000A001A003g", {1000, 1000, 1001, 1003, -7}, false},             // SQZ
      {"0A000%JKj010", {1000, 1000, 1001, 1003, -7}, true},                    // DIF
      {"0A000U", {1000, 1000, 1000}, false},                                   // SQZ with DUP
      {"0A000JU", {1000, 1001, 1002, 1003}, true},                             // DIF with DUP: the difference repeats
      {"0E5", {55}, false},                                                    // a bare E is a pseudo-digit
      {"12@@ $$ a comment", {0, 0}, false},
      {"0A000S0", std::vector<double>(10, 1000), false},                       // a DUP count of ten
  };
  for (const auto& [line, ys, endsInDif] : cases) {
    formats::AsdfLine decoded;
    EXPECT_EQ(formats::decode_asdf_line(line, decoded, 1000), "") << line;
    EXPECT_EQ(decoded.ys.expanded(), ys) << line;
    EXPECT_EQ(decoded.endsInDif, endsInDif) << line;
  }
  // What the generator writes reads back, in every form.
  const std::vector<std::int64_t> values = {0, 7, 7, 7, 12, -3000, -2999, -2998, 123456789, 0, 0, 0};
  for (const AsdfForm form : {AsdfForm::Affn, AsdfForm::Pac, AsdfForm::Sqz, AsdfForm::Dif, AsdfForm::DifDup}) {
    EXPECT_EQ(decoded(asdf_line(5, values, form)), std::vector<double>(values.begin(), values.end()))
        << asdf_line(5, values, form);
  }
}

TEST(Asdf, ALineThatIsNoneIsRefusedWithWhereAndWhy) {
  const struct {
    const char* line;
    const char* why;
  } cases[] = {
      {"0 A000 ?", "no JCAMP-DX number ('?') at column 8"},
      {"0%J", "a difference with no value before it at column 2"},
      {"0A000UU", "a repeat count with nothing to repeat"},
      {"0A000s9999999999", "more values than the table holds"},
      {"0 1.2.3.4 +", "a number that cannot be read"},
  };
  for (const auto& [line, why] : cases) {
    std::string error;
    decoded(line, &error);
    EXPECT_NE(error.find(why), std::string::npos) << line << ": " << error;
  }
}

TEST_F(JcampDxTest, EachFormReadsBackTheGeneratorsPointsTimesTheirFactors) {
  const std::vector<std::int64_t> re = {5, 1000, 1000, 1000, -20, 31, 31, 32, 33, 34, 35, 36, 0, 0, -1, 99999, 7, 7, 7, 7, 7, 7, 8};
  std::vector<std::int64_t> im(re.rbegin(), re.rend());
  for (const AsdfForm form : {AsdfForm::Affn, AsdfForm::Pac, AsdfForm::Sqz, AsdfForm::Dif, AsdfForm::DifDup}) {
    const ReadBack back = read(jcamp_fid({re}, {im}, form));
    ASSERT_TRUE(back.reading.description) << back.reading.refusal;
    EXPECT_EQ(back.maker, formats::Maker::JcampDx);
    std::vector<double> expected;
    for (std::size_t i = 0; i < re.size(); ++i) expected.insert(expected.end(), {double(re[i]), double(im[i])});
    EXPECT_EQ(back.pairs, expected);
    const formats::Acquisition& a = back.acquisition();
    EXPECT_EQ(a.points, 23);
    EXPECT_EQ(a.fids, 1);
    EXPECT_NEAR(a.sweepHz, 10000, 1e-6) << "from the time axis: 23 points over 2.2 ms";
    EXPECT_EQ(a.frequencyMHz, 400.13);
    EXPECT_EQ(a.offsetHz, 0);
    EXPECT_EQ(a.nucleus, "1H");
    EXPECT_EQ(back.reading.description->title, "synthetic FID");
  }
  // FACTORs multiply the pages; Bruker's own parameters, and a shift reference, set the axis.
  std::string factored = jcamp_fid({re}, {im}, AsdfForm::Dif, "##$SW_h= 4789.27203065134\n##$BF1= 300.13\n");
  factored.replace(factored.find("##FACTOR= 1e-04, 1, 1"), 21, "##FACTOR= 1e-04, 0.5, 2");
  const ReadBack back = read(factored);
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  EXPECT_EQ(back.pairs[2], 500);
  EXPECT_EQ(back.pairs[3], 2 * im[1]);
  EXPECT_EQ(back.acquisition().sweepHz, 4789.27203065134);
  EXPECT_EQ(back.acquisition().frequencyMHz, 300.13);
  const ReadBack referenced = read(jcamp_fid({re}, {im}, AsdfForm::Sqz, "##.SHIFT REFERENCE= INTERNAL, CDCl3, 1, 15\n"));
  EXPECT_NEAR(referenced.acquisition().offsetHz, 15 * 400.13 - 5000, 1e-6) << "point 1 lies half the sweep above the carrier";
}

TEST_F(JcampDxTest, TheDifCheckValueAtALineBreakIsCheckedAndNotKept) {
  const std::string good = jcamp_fid({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, AsdfForm::Dif);
  ASSERT_NE(good.find("\n0AJJJJJJJJJ\n9A0JJ\n"), std::string::npos) << "the second line starts with the first's last value" << good;
  const ReadBack back = read(good);
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  EXPECT_EQ(back.acquisition().points, 12) << "the check value is no point of its own";
  std::string bad = good;
  bad.replace(bad.find("\n9A0JJ"), 6, "\n9A1JJ");
  const ReadBack refused = read(bad);
  EXPECT_FALSE(refused.reading.description);
  EXPECT_NE(refused.reading.refusal.find("DIF check value 11 does not repeat 10"), std::string::npos) << refused.reading.refusal;
}

TEST_F(JcampDxTest, ATwoDimensionalFileGivesItsFidsOneAfterTheOther) {
  const ReadBack back = read(jcamp_fid({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {{-1, -2, -3}, {-4, -5, -6}, {-7, -8, -9}}, AsdfForm::DifDup));
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  EXPECT_EQ(back.acquisition().fids, 3);
  EXPECT_EQ(back.acquisition().points, 3);
  EXPECT_EQ(back.pairs, (std::vector<double>{1, -1, 2, -2, 3, -3, 4, -4, 5, -5, 6, -6, 7, -7, 8, -8, 9, -9}));
}

TEST_F(JcampDxTest, ACompoundFileIsSearchedForItsFirstFidAndASpectrumAloneIsRefused) {
  const std::string spectrum =
      "##TITLE= its spectrum\n##JCAMP-DX= 5.01\n##DATA TYPE= NMR SPECTRUM\n##XYDATA= (X++(Y..Y))\n1 2 3 4\n##END=\n";
  const std::string fid = jcamp_fid({{10, 20}}, {{30, 40}}, AsdfForm::Affn);
  const ReadBack linked = read("##TITLE= both\n##JCAMP-DX= 5.01\n##DATA TYPE= LINK\n##BLOCKS= 2\n" + spectrum + fid + "##END=\n");
  ASSERT_TRUE(linked.reading.description) << linked.reading.refusal;
  EXPECT_EQ(linked.pairs, (std::vector<double>{10, 30, 20, 40}));
  EXPECT_EQ(linked.reading.description->title, "synthetic FID") << "the FID's own block's title";

  const ReadBack alone = read(spectrum, "spectrum.dx");
  EXPECT_EQ(alone.maker, formats::Maker::JcampDx);
  EXPECT_EQ(alone.reading.refusal, formats::kProcessedOnly);
}

TEST_F(JcampDxTest, DamagedFilesAreRefusedWithAReason) {
  const std::string good = jcamp_fid({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}}, AsdfForm::Dif);
  std::string garbage = good, lying = good, unpaired = good, longLine = good;
  garbage.insert(garbage.find("##PAGE= N=2"), "9I%J&&& what is this\n");
  lying.replace(lying.find("##VAR_DIM= 12, 12, 12"), 21, "##VAR_DIM= 99, 99, 99");
  unpaired.erase(unpaired.find("##PAGE= N=2"), unpaired.find("##END NTUPLES") - unpaired.find("##PAGE= N=2"));
  longLine.insert(longLine.find("##PAGE= N=2"), "0" + std::string(2 << 20, '@') + "\n");
  const struct {
    std::string text;
    const char* why;
  } cases[] = {
      {good.substr(0, good.find("##PAGE= N=2") + 40), "ends before the ##END of its FID's block"},
      {garbage, "no JCAMP-DX number ('&')"},
      {lying, "a page holds 12 points, ##VAR_DIM says 99"},
      {unpaired, "real and imaginary pages do not pair up"},
      {longLine, "longer than a MiB"},
      {"##TITLE= x\n##DATA TYPE= NMR FID\n##DATA CLASS= XYDATA\n##XYDATA= (X++(R..R))\n1 2\n##END=\n", "not in the NTUPLES form"},
      {"##TITLE= x\n##DATA TYPE= INFRARED SPECTRUM\n##END=\n", "holds a processed spectrum"},
      {"##TITLE= x\n##DATA TYPE= MASS SPECTRUM PEAK TABLE\n##PEAK TABLE= (XY..XY)\n1,2\n##END=\n", "holds a processed spectrum"},
      {"##TITLE= x\n##DATA TYPE= LINK\n##END=\n", "holds no NMR FID"},
  };
  for (const auto& [text, why] : cases) {
    const ReadBack back = read(text);
    EXPECT_EQ(back.maker, formats::Maker::JcampDx);
    EXPECT_FALSE(back.reading.description) << why;
    EXPECT_NE(back.reading.refusal.find(why), std::string::npos) << why << ": " << back.reading.refusal;
  }
}

TEST_F(JcampDxTest, TheAspirinExportHoldsTheBrukerFidsWordsExactly) {
  const fs::path shared = SHARED_DATASETS;
  if (!fs::is_directory(shared)) GTEST_SKIP() << shared << " is not beside the checkout";
  const ReadBack back = read_back(bench.files, shared / "jcamp/aspirin-1h.fid.dx");
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  const std::string words = read_file(shared / "aspirin-1h/1/fid");
  ASSERT_EQ(back.pairs.size(), words.size() / 4);
  for (std::size_t i = 0; i < back.pairs.size(); ++i) {
    const double word = bruker::int32_at<bruker::ByteOrder::Big>(reinterpret_cast<const unsigned char*>(words.data() + 4 * i));
    ASSERT_EQ(back.pairs[i], word) << "word " << i;
  }
  const formats::Description& d = *back.reading.description;
  EXPECT_EQ(d.title, "1H BBI");
  EXPECT_EQ(d.acquisition.points, 8192);
  EXPECT_EQ(d.acquisition.sweepHz, 4789.27203065134);
  EXPECT_EQ(d.acquisition.frequencyMHz, 300.13);
  EXPECT_EQ(d.acquisition.offsetHz, 2250.975);
  EXPECT_EQ(d.acquisition.nucleus, "1H");
}

TEST_F(JcampDxTest, AFileOfAFewHundredBytesTakesMemoryByItsBytesNotByTheCountsItClaims) {
  // 703 bytes: a page that claims 2^31 - 1 points, and a DUP count of 999999999 in it.
  const std::string bomb =
      "##TITLE= a few bytes that claim a billion points\n##JCAMP-DX= 6.0\n##DATA TYPE= NMR FID\n"
      "##DATA CLASS= NTUPLES\n##ORIGIN= a test.\n##OWNER= nobody.\n##.OBSERVE FREQUENCY= 400.13\n"
      "##.OBSERVE NUCLEUS= ^1H\n##NTUPLES= NMR FID\n##VAR_NAME= TIME, FID/REAL, FID/IMAG\n##SYMBOL= X, R, I\n"
      "##VAR_TYPE= INDEPENDENT, DEPENDENT, DEPENDENT\n##VAR_FORM= AFFN, ASDF, ASDF\n"
      "##VAR_DIM= 2147483647, 2147483647, 2147483647\n##UNITS= SECONDS, ARBITRARY UNITS, ARBITRARY UNITS\n"
      "##FACTOR= 1e-04, 1, 1\n##FIRST= 0, 0, 0\n##LAST= 214748.3646, 0, 0\n##MIN= 0, -1, -1\n##MAX= 214748.3646, 1, 1\n"
      "##PAGE= N=1\n##DATA TABLE= (X++(R..R)), XYDATA\n0A000Js99999999\n##PAGE= N=2\n"
      "##DATA TABLE= (X++(I..I)), XYDATA\n0A000Js99999999\n##END NTUPLES= NMR FID\n##END=\n";
  ASSERT_EQ(bomb.size(), 703u);
  write_file(bench.root.path() / "bomb.dx", bomb);
  const auto growth = peak_memory_growth_kib([&] {
    const ReadBack back = read_back(bench.files, bench.root.path() / "bomb.dx");
    if (back.reading.refusal != "line 23: more values than the table holds") std::abort();
  });
  ASSERT_TRUE(growth.has_value()) << "the reader did not refuse the file as it should";
  std::cout << "peak memory while refusing the file: " << *growth << " KiB above the start\n";
  EXPECT_LT(*growth, 64 * 1024);

  // Counts are still read for what they say: 100000 points of a page in a few bytes, the
  // repeated value and the repeated difference.
  std::string counted = bomb;
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"2147483647", "100000"}, {"0A000Js99999999", "0@S00000"}}) {
    for (std::size_t at; (at = counted.find(from)) != std::string::npos;) counted.replace(at, from.size(), to);
  }
  counted.replace(counted.rfind("0@S00000"), 8, "0A000Js9999");
  const ReadBack back = read(counted);
  ASSERT_TRUE(back.reading.description) << back.reading.refusal;
  ASSERT_EQ(back.pairs.size(), 200000u);
  for (std::size_t i = 0; i < 100000; i += 9999) {
    EXPECT_EQ(back.pairs[2 * i], 0);
    EXPECT_EQ(back.pairs[2 * i + 1], 1000 + static_cast<double>(i));
  }
}

}  // namespace
