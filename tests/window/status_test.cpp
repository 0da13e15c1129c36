// The status line's words.
#include "window/status.hpp"

#include <gtest/gtest.h>

namespace {

TEST(Status, PlayingSaysWhatHowLongAndHowFarWithTenthsCut) {
  EXPECT_EQ(window::playing_status("demo/1/fid", {1.29, 3.95}), "Playing demo/1/fid: 0:01.2 of 0:03.9 \u2014 Esc stops");
  EXPECT_EQ(window::clock_text(0), "0:00.0");
  EXPECT_EQ(window::clock_text(59.99), "0:59.9");
  EXPECT_EQ(window::clock_text(60), "1:00.0");
  EXPECT_EQ(window::clock_text(725.04), "12:05.0");
  EXPECT_EQ(window::clock_text(-1), "0:00.0");
  const struct {
    const char* path;
    const char* name;
  } names[] = {{"/data/aspirin-1h/1/fid", "aspirin-1h/1/fid"}, {"/x/fid", "x/fid"}, {"fid", "fid"},
               {"a/b/c/d/ser", "c/d/ser"}, {"a//b/ser/", "a/b/ser"}, {"", "the scratch FID"}};
  for (const auto& [path, name] : names) EXPECT_EQ(window::sound_name(path, false), name) << path;
  EXPECT_EQ(window::sound_name("/x/fid", true), "the tones");
}

}  // namespace
