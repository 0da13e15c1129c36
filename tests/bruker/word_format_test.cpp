// Reading the word format and other values out of a dataset's parameter files.
#include "bruker/word_format.hpp"

#include <gtest/gtest.h>

#include "bruker/parameters.hpp"

namespace {

using bruker::ByteOrder;
using bruker::WordFormat;
using bruker::WordType;

constexpr WordFormat kClassic{};
constexpr WordFormat kLittle32{ByteOrder::Little, WordType::Int32};
constexpr WordFormat kBig64{ByteOrder::Big, WordType::Float64};
constexpr WordFormat kLittle64{ByteOrder::Little, WordType::Float64};

TEST(WordFormat, ComesFromTheTwoKeysAndAnythingElseIsTheClassicReading) {
  const struct {
    const char* acqus;
    WordFormat expected;
  } cases[] = {
      {"", kClassic},
      {"##TITLE= no keys\n##$TD= 65536\n##END=\n", kClassic},
      {"##$BYTORDA= 0\n", kLittle32},
      {"##$BYTORDA= 1\n##$DTYPA= 0\n", kClassic},
      {"##$DTYPA= 2\n", kBig64},
      {"##$TD= 8\r\n##$BYTORDA=   0  \r\n##$DTYPA=\t2\r\n", kLittle64},
      {"##$BYTORDA=0\n##$DTYPA=2", kLittle64},  // no blank, no last line end
      {"##$BYTORDA= 0.0\n##$DTYPA= 2x\n", kClassic},
      {"##$BYTORDA= \n##$DTYPA= 1\n", kClassic},
      {"##$BYTORDAX= 0\n##$DTYPA2= 2\n", kClassic},  // other keys that start alike
      {" ##$BYTORDA= 0\n$$ ##$DTYPA= 2\n", kClassic},  // not at a line's start
      {"##$BYTORDA= 0\n##$BYTORDA= 1\n", kLittle32},   // the first line counts
  };
  for (const auto& [acqus, expected] : cases) {
    EXPECT_EQ(bruker::word_format(acqus), expected) << acqus;
  }
}

TEST(Parameters, RealAndIntegerValuesAreWholeNumbersOrNothing) {
  const std::string procs = "##$SI= 32768\n##$OFFSET= -15.47866\n##$SF= 3.0013e2\n##$NUC1= <1H>\n";
  EXPECT_EQ(bruker::integer_parameter(procs, "SI"), 32768);
  EXPECT_EQ(bruker::real_parameter(procs, "OFFSET"), -15.47866);
  EXPECT_EQ(bruker::real_parameter(procs, "SF"), 300.13);
  EXPECT_EQ(bruker::integer_parameter(procs, "OFFSET"), std::nullopt);
  EXPECT_EQ(bruker::real_parameter(procs, "NUC1"), std::nullopt);
  EXPECT_EQ(bruker::parameter_text(procs, "NUC1"), "<1H>");
  EXPECT_EQ(bruker::real_parameter("##$X= 1e999\n", "X"), std::nullopt) << "not finite";
  EXPECT_EQ(bruker::integer_parameter(procs, "MISSING"), std::nullopt);
}

}  // namespace
