// The local date and time as text.
#include "platform/clock.hpp"

namespace platform {

std::string date_time_text(const std::tm& local, locale_t locale) {
  char text[128];
  const std::size_t n = ::strftime_l(text, sizeof text, "%x %X", &local, locale);
  return std::string(text, n);
}

std::string local_date_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // The user's own locale, without changing the process's: the window's toolkit owns that.
  locale_t users = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (!users) users = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  std::string text = date_time_text(local, users);
  ::freelocale(users);
  return text;
}

}  // namespace platform
