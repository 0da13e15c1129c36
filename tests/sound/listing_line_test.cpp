// The listing's line: a sample as signed decimal text, then CR LF.
#include "sound/listing_line.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

TEST(ListingLine, MatchesPlainFormattingForEveryLengthAndSign) {
  std::vector<std::int32_t> values = {2147483647, -2147483647 - 1, 99999999,  100000000,
                                      -99999999,  -100000000,     999999999, 1000000000};
  for (std::int32_t v = -200000; v <= 200000; ++v) values.push_back(v);
  for (std::int64_t v = 1; v < 2147483647; v = v * 3 + 7) {
    values.push_back(static_cast<std::int32_t>(v));
    values.push_back(static_cast<std::int32_t>(-v));
  }
  for (const std::int32_t v : values) {
    char line[sound::kDecimalLineRoom];
    const std::size_t n = sound::format_decimal_line(line, v);
    char expected[32];
    const int m = std::snprintf(expected, sizeof expected, "%c%u\r\n", v < 0 ? '-' : ' ',
                                v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v));
    ASSERT_EQ(std::string(line, n), std::string(expected, static_cast<std::size_t>(m))) << v;
  }
}

}  // namespace
