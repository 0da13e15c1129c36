// The date and time as both front ends write them.
#include "platform/clock.hpp"

#include <gtest/gtest.h>

namespace {

// 8 December 2026, 20:40:07.
std::tm fixed_time() {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 8;
  when.tm_hour = 20;
  when.tm_min = 40;
  when.tm_sec = 7;
  when.tm_wday = 2;
  return when;
}

std::string in_locale(const char* name) {
  locale_t locale = ::newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
  if (!locale) return "(no locale " + std::string(name) + ")";
  std::string text = platform::date_time_text(fixed_time(), locale);
  ::freelocale(locale);
  return text;
}

TEST(Clock, TheLocalesDateABlankAndTheLocalesTime) {
  EXPECT_EQ(in_locale("C"), "12/08/26 20:40:07");
  EXPECT_EQ(in_locale("C.UTF-8"), "12/08/26 20:40:07");
}

}  // namespace
