// Sample synthesis: which words are sounded, how they are scaled, and the test tones.
#include "sound/sample_synthesis.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

using bruker::ByteOrder;
using bruker::WordFormat;
using bruker::WordType;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const WordFormat kFormats[] = {{ByteOrder::Big, WordType::Int32},
                               {ByteOrder::Little, WordType::Int32},
                               {ByteOrder::Big, WordType::Float64},
                               {ByteOrder::Little, WordType::Float64}};

std::string name_of(const WordFormat& f) {
  return std::string(f.order == ByteOrder::Big ? "big" : "little") + "-endian " +
         (f.type == WordType::Int32 ? "32-bit" : "64-bit");
}

struct Made {
  std::int64_t count = 0;
  std::string wav;      // the samples only
  std::string listing;  // the text lines
};

class SampleSynthesisTest : public ::testing::Test {
 protected:
  Made make(const std::string& fid, bool toneMode = false, std::int16_t f1 = 0,
            std::int16_t f2 = 0, bruker::WordFormat format = {}) {
    write_file(bench.scratch("fid"), fid);
    return make_from_scratch(toneMode, f1, f2, format);
  }
  Made make(const std::string& fid, bruker::WordFormat format) { return make(fid, false, 0, 0, format); }
  Made make_from_scratch(bool toneMode, std::int16_t f1, std::int16_t f2,
                         bruker::WordFormat format = {}) {
    std::filesystem::remove(bench.scratch("fid.wav"));
    Made made;
    {
      auto fidFile = bench.files.open_binary("C:\\temp\\fid");
      auto wavFile = bench.files.open_binary("C:\\temp\\fid.wav");
      auto listFile = bench.files.open_for_writing("C:\\temp\\fid.xls");
      made.count = sound::makesamples(fidFile, wavFile, listFile, toneMode, f1, f2, format);
    }
    made.wav = read_file(bench.scratch("fid.wav"));
    made.listing = read_file(bench.scratch("fid.xls"));
    return made;
  }
  Workbench bench;
};

std::string lines(const std::vector<std::int32_t>& values) {
  std::ostringstream text;
  for (const auto v : values) text << (v >= 0 ? " " : "") << v << "\r\n";
  return text.str();
}

std::string wav_of(const std::vector<std::int16_t>& values) {
  std::string bytes;
  for (const auto v : values) bytes += le16(v);
  return bytes;
}

TEST_F(SampleSynthesisTest, SoundsTheSecondWordOfEachPairScaledToThirtyThousand) {
  std::string leadIn = be32s(std::vector<std::int32_t>(80, 3));
  leadIn.replace(40, 4, be32(-20000));  // the largest magnitude sets the scale
  const std::string fid = leadIn + be32s({1, 10000, 2, -20000, 3, 20000, 4, 7});
  const Made made = make(fid);
  EXPECT_EQ(made.count, 4);
  // 7 / 20000 * 30000 = 10.5 rounds to the even 10.
  EXPECT_EQ(made.listing, lines({15000, -30000, 30000, 10}));
  EXPECT_TRUE(same_bytes(made.wav, wav_of({15000, -30000, 30000, 10})));
}

TEST_F(SampleSynthesisTest, EveryLengthClassEndsWhereItsWordsEnd) {
  // rem = (length - 320) mod 8: a last word that the loop reads with an even count makes
  // a sample of the bytes found, zeros for the rest.
  // Every byte 0x7f: the scale is 0x7f7f7f7f, so a whole word sounds as 30000, and a
  // word cut short as its bytes found followed by zeros.
  const struct {
    std::size_t length;
    std::int64_t samples;
    std::int32_t last;  // the last listed value, when there is one
  } cases[] = {
      {0, 0, 0},          {100, 0, 0},        {320, 0, 0},       {322, 0, 0},
      {324, 1, 0},        // the second read finds nothing: a word of zeros
      {325, 1, 29883},    // 0x7f000000
      {326, 1, 30000},    {328, 1, 30000},    {1000, 85, 30000}, {1996, 210, 0},
      {2320, 250, 30000}, {2324, 251, 0},
  };
  for (const auto& [length, samples, last] : cases) {
    const Made made = make(std::string(length, '\x7f'));
    EXPECT_EQ(made.count, samples) << length;
    EXPECT_EQ(made.wav.size(), static_cast<std::size_t>(2 * samples)) << length;
    EXPECT_EQ(std::count(made.listing.begin(), made.listing.end(), '\n'), samples) << length;
    if (samples == 0) continue;
    const std::string lastLine = made.listing.substr(made.listing.rfind('\n', made.listing.size() - 2) + 1);
    EXPECT_EQ(lastLine, lines({last})) << length;
  }
  // A partial last word keeps the bytes it found in its high end: 0x7f7f0000.
  std::string fid(320, '\0');
  fid += be32(0) + "\x7f\x7f";
  const Made made = make(fid);
  ASSERT_EQ(made.count, 1);
  // The scan of this short file met the same word: it set the scale, so it sounds as 30000.
  EXPECT_EQ(made.listing, lines({30000}))
      << "the partial word is also in the scale scan of a short file";
}

TEST_F(SampleSynthesisTest, LongFilesSoundEveryPairInOrderUpToTheirLastBytes) {
  // Scale 30000, so that every sample is its word; thousands of pairs, then 6 bytes.
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  std::vector<std::int32_t> expected;
  for (std::int32_t i = 0; i < 10001; ++i) {
    pairs.emplace_back(-7, i * 3 - 15000);
    expected.push_back(i * 3 - 15000);
  }
  std::string fid = fid_with_pairs(pairs);
  fid.replace(0, 4, be32(30000));
  fid += be32(-1) + std::string("\x00\x01", 2);  // cut short: the second word is 0x00010000
  expected.push_back(65536);
  const Made made = make(fid);
  EXPECT_TRUE(same_bytes(made.listing, lines(expected)));
  std::vector<std::int16_t> held(expected.begin(), expected.end() - 1);
  held.push_back(held.back());  // 65536 does not fit 16 bits
  EXPECT_TRUE(same_bytes(made.wav, wav_of(held)));
}

TEST_F(SampleSynthesisTest, ShortFilesSoundAllTheirWordsAfterTheScaleScanMetTheEnd) {
  const Made made = make(fid_with_pairs({{0, 500}, {0, -1000}, {0, 1}}));
  EXPECT_EQ(made.count, 3);
  EXPECT_EQ(made.listing, lines({15000, -30000, 30}));
}

TEST_F(SampleSynthesisTest, ADatasetOf262144BytesGives32728SamplesInEitherMode) {
  const std::string fid(262144, '\x01');
  EXPECT_EQ(make(fid).count, 32728);
  EXPECT_EQ(make(fid, true, 440, 445).count, 32728);
}

TEST_F(SampleSynthesisTest, OutOfRangeValuesRepeatTheLastSampleThatFitted) {
  // Scale from the first 500 words: INT32_MIN has no magnitude and is passed over.
  std::vector<std::int32_t> words(500, 0);
  words[10] = kMin32;
  words[81] = kMin32;   // offset 324: the first sample, too large for 32 bits once scaled
  words[499] = -999;    // the last word scanned: its magnitude stands in for that value
  words[83] = 800;      // 800 / 1000 * 30000 = 24000
  words.insert(words.end(), {0, 2000, 0, 2147483647, 0, -500});
  const Made made = make(be32s(words));
  ASSERT_EQ(made.count, (2000 + 24 - 320) / 8);
  const auto listed = [&](std::size_t i) {
    std::istringstream in(made.listing);
    std::string line;
    for (std::size_t k = 0; k <= i; ++k) std::getline(in, line);
    return std::stoi(line);
  };
  const auto sample = [&](std::size_t i) {
    return static_cast<std::int16_t>((made.wav[2 * i] & 0xff) | made.wav[2 * i + 1] << 8);
  };
  EXPECT_EQ(listed(0), 999);
  EXPECT_EQ(sample(0), 999);
  EXPECT_EQ(listed(1), 24000);
  const std::size_t tail = static_cast<std::size_t>(made.count) - 3;
  EXPECT_EQ(listed(tail), 60000) << "listed in full";
  EXPECT_EQ(sample(tail), sample(tail - 1)) << "held in the sound";
  EXPECT_EQ(listed(tail + 1), 60000) << "too large for 32 bits: the value repeats";
  EXPECT_EQ(sample(tail + 1), sample(tail - 1));
  EXPECT_EQ(listed(tail + 2), -15000);
  EXPECT_EQ(sample(tail + 2), -15000);
}

TEST_F(SampleSynthesisTest, TonesAreTwoDecayingSinesOnA44100HzTimeBase) {
  const std::string fid(320 + 8 * 40, '\x05');
  const Made both = make(fid, true, 440, 445);
  ASSERT_EQ(both.count, 40);
  std::istringstream listing(both.listing);
  std::vector<std::int32_t> values;
  for (std::int32_t v; listing >> v;) values.push_back(v);
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(values[1], 4032);
  EXPECT_EQ(values[25], 63890) << "the two tones in phase add up past 16 bits";
  // Whatever does not fit is held: the sound repeats its last fitting sample.
  std::int16_t held = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] >= -32768 && values[i] <= 32767) held = static_cast<std::int16_t>(values[i]);
    EXPECT_EQ(both.wav.substr(2 * i, 2), le16(held)) << i;
  }
  EXPECT_EQ(make(fid, true, 440, 0).listing.substr(0, 25), lines({0, 2005, 4001, 5982}))
      << "one tone on its own";
  const Made silent = make(fid, true, 0, 0);
  EXPECT_EQ(silent.wav, std::string(80, '\0'));
}

TEST_F(SampleSynthesisTest, WithoutAReadableFidThereAreNoSamplesInEitherMode) {
  std::filesystem::remove(bench.scratch("fid"));
  EXPECT_EQ(make_from_scratch(true, 440, 445).count, 0);
  EXPECT_EQ(std::filesystem::file_size(bench.scratch("fid")), 0u) << "created empty";

  platform::FailureFlag failures;
  platform::BinaryFile unopened;
  auto wav = bench.files.open_binary("C:\\temp\\fid.wav");
  auto list = bench.files.open_for_writing("C:\\temp\\fid.xls");
  EXPECT_EQ(sound::makesamples(unopened, wav, list, false, 0, 0), 0);
}

TEST_F(SampleSynthesisTest, EachWordFormatCountsTheLeadInScaleAndPairsInItsOwnWords) {
  // The same words in every format: 80 words of lead-in, the largest magnitude among
  // them, then four pairs and a cut last pair.
  std::vector<double> leadIn(80, 3);
  leadIn[10] = -20000;
  const std::vector<double> pairs = {1, 10000, 2, -20000, 3, 20000, 4, 7, 5};
  // The cut second word of the last pair: its bytes found, then zeros. Little-endian
  // doubles keep their mantissa's lowest bytes, so theirs reads as almost 0.
  const struct {
    WordFormat format;
    std::string cut;
    std::int32_t value;
  } cases[] = {
      {kFormats[0], std::string("\0\0\x3a", 3), 22272},     // 0x00003a00 = 14848
      {kFormats[1], std::string("\0\x3a", 2), 22272},        // the same word
      {kFormats[2], std::string("\x40\xcd", 2), 22272},      // 14848.0
      {kFormats[3], std::string("\0\0\0\0\0\0\xcd", 7), 0},  // not the previous word's 0x40
  };
  for (const auto& [format, cut, value] : cases) {
    std::vector<double> all = leadIn;
    all.insert(all.end(), pairs.begin(), pairs.end());
    const Made made = make(words(format, all) + cut, format);
    EXPECT_EQ(made.count, 5) << name_of(format);
    // 7 / 20000 * 30000 = 10.5 rounds to the even 10.
    EXPECT_EQ(made.listing, lines({15000, -30000, 30000, 10, value})) << name_of(format);
    EXPECT_TRUE(same_bytes(made.wav, wav_of({15000, -30000, 30000, 10, static_cast<std::int16_t>(value)})))
        << name_of(format);
    EXPECT_EQ(make(words(format, all), true, 440, 0, format).count, 5)
        << name_of(format) << ": tones count the pairs of the FID's words, the cut one too";
  }
}

TEST_F(SampleSynthesisTest, DoublesScaleByTheirExactMagnitudeAndPassOverWhatIsNotFinite) {
  std::vector<double> w(506, 0);
  w[3] = 2.5e9;     // the scale: beyond 32 bits, kept as it is
  w[5] = kNaN;      // no magnitude: the scale stays
  w[7] = -kInf;     // no magnitude either
  w[499] = 1234.5;  // the last word scanned: its magnitude rounds to the even 1234
  w[81] = kNaN;     // the first sample: cannot be rounded, so that magnitude stands in
  w[83] = 1.25e9;
  w[85] = -2.5e9;
  w[87] = kInf;     // repeats the value before
  w[89] = 0.5;
  w[501] = kNaN;    // behind the scale words: repeats the value before
  w[503] = 5e9;     // 60000: listed, but not in 16 bits
  w[505] = 7.5e14;  // 9e9: not in 32 bits, so 60000 again
  std::vector<std::int32_t> values(213, 0);
  values[0] = 1234;
  values[1] = 15000;
  values[2] = values[3] = -30000;
  values[211] = values[212] = 60000;
  std::vector<std::int16_t> held(values.begin(), values.end() - 2);
  held.insert(held.end(), {0, 0});
  for (const WordFormat& format : {kFormats[2], kFormats[3]}) {
    const Made made = make(words(format, w), format);
    EXPECT_EQ(made.count, 213) << name_of(format);
    EXPECT_TRUE(same_bytes(made.listing, lines(values))) << name_of(format);
    EXPECT_TRUE(same_bytes(made.wav, wav_of(held))) << name_of(format);
  }
}

}  // namespace
