// The console front end's command line.
#include "cli/options.hpp"

#include <gtest/gtest.h>

namespace {

using cli::Options;
using cli::parse_options;

Options parse(const std::vector<std::string>& args) {
  const auto parsed = parse_options(args);
  EXPECT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
  return std::holds_alternative<Options>(parsed) ? std::get<Options>(parsed) : Options{};
}

TEST(Options, SetTheControlsAndJoinTheRestIntoOnePath) {
  const Options o = parse({"--speed", "x ?", "--answer", "2.5", "--f1", "300", "--f2", "-1",
                           "--off1", "--off2", "--no-play", "--no-picture", "/my", "data/1/fid"});
  EXPECT_EQ(o.speed, "x ?");
  EXPECT_EQ(o.answer, "2.5");
  EXPECT_EQ(o.f1, "300");
  EXPECT_EQ(o.f2, "-1");
  EXPECT_TRUE(o.off1 && o.off2);
  EXPECT_FALSE(o.play);
  EXPECT_FALSE(o.picture);
  EXPECT_EQ(o.fidPath, "/my data/1/fid");

  const Options defaults = parse({});
  EXPECT_FALSE(defaults.speed || defaults.answer || defaults.f1 || defaults.f2);
  EXPECT_TRUE(defaults.play);
  EXPECT_TRUE(defaults.picture);
  EXPECT_EQ(defaults.fidPath, "");
  EXPECT_EQ(parse({"--", "--tones"}).fidPath, "--tones") << "after --, a path";
  EXPECT_EQ(parse({"-"}).fidPath, "-");
  EXPECT_EQ(parse({"--answer", ""}).answer, "") << "an empty answer is a cancel";
}

}  // namespace
