// Facts about the running process and the local clock, for the front ends.
#pragma once

#include <string>

namespace platform {

// Folder of the running executable, without a trailing separator; empty when unknown.
std::string executable_folder();

// The current local date and time: the locale's date, one blank, the locale's time.
std::string local_date_time();

}  // namespace platform
