// Numbers read from and written to text, and text replacement.
#include "platform/text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace platform;

TEST(NumericValue, ReadsTheLongestLeadingDecimalNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {" 0.125", 0.125}, {" ?", 0},        {"", 0},          {"440Hz", 440},  {"-440", -440},
      {"+5", 5},         {"  \t2.5", 2.5}, {"2,5", 2},       {".5", 0.5},     {"5.", 5},
      {".", 0},          {"-", 0},         {"1e3", 1000},    {"1e", 1},       {"1e+", 1},
      {"2E-1x", 0.2},    {"1e999", inf},   {"-1e999", -inf}, {"1e-999", 0},   {"x 1", 0},
      {"1.2.3", 1.2},    {"007", 7},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(numeric_value(text), value) << '"' << text << '"';
  }
}

TEST(Rounding, GoesToTheNearestAndHalvesToEvenWithinRange) {
  EXPECT_EQ(round_to_int32(2.5), 2);
  EXPECT_EQ(round_to_int32(3.5), 4);
  EXPECT_EQ(round_to_int32(-2.5), -2);
  EXPECT_EQ(round_to_int32(1.25 * 10), 12);
  EXPECT_EQ(round_to_int32(2147483647.4), 2147483647);
  EXPECT_EQ(round_to_int32(2147483647.5), std::nullopt);
  EXPECT_EQ(round_to_int32(-2147483648.5), -2147483647 - 1);
  EXPECT_EQ(round_to_int32(-2147483649.0), std::nullopt);
  EXPECT_EQ(round_to_int32(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(round_to_int32(std::nan("")), std::nullopt);

  EXPECT_EQ(round_to_int16(32767.4), 32767);
  EXPECT_EQ(round_to_int16(32767.5), std::nullopt);
  EXPECT_EQ(round_to_int16(-32768.5), -32768);
  EXPECT_EQ(round_to_int16(-32769), std::nullopt);
  EXPECT_EQ(round_to_int16(440.5), 440);
}

TEST(DecimalText, IsTheShortestTextThatReadsBackTheSame) {
  EXPECT_EQ(decimal_text(1), "1");
  EXPECT_EQ(decimal_text(2.5), "2.5");
  EXPECT_EQ(decimal_text(-1), "-1");
  EXPECT_EQ(decimal_text(0.1), "0.1");
  for (const double v : {0.1, 2.5, 1.0 / 3, 123456.789, 1e-7}) {
    EXPECT_EQ(numeric_value(decimal_text(v)), v) << decimal_text(v);
  }
}

TEST(ReplaceAll, ScansLeftToRightWithoutOverlapAndKeepsCase) {
  EXPECT_EQ(replace_all("/data/fid_raw/1/fid", "/fid", "/acqus"), "/data/acqus_raw/1/acqus");
  EXPECT_EQ(replace_all("/data/1/FID", "/fid", "/acqus"), "/data/1/FID");
  EXPECT_EQ(replace_all("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(replace_all("/fid", "/fid", "/fid/fid"), "/fid/fid");
  EXPECT_EQ(from_second("x 0.25"), " 0.25");
  EXPECT_EQ(from_second("x"), "");
}

}  // namespace
