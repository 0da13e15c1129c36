// The local date and time as text, as both front ends write it.
#pragma once

#include <ctime>
#include <locale.h>
#include <string>

namespace platform {

// The locale's date, one blank, the locale's time (strftime's "%x %X").
std::string date_time_text(const std::tm& local, locale_t locale);

// Now, in the user's locale (LC_TIME, LC_ALL or LANG) and time zone.
std::string local_date_time();

}  // namespace platform
