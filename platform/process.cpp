// Facts about the running process and the local clock.
#include "platform/process.hpp"

#include <clocale>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace platform {

std::string executable_folder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string{} : exe.parent_path().string();
}

std::string local_date_time() {
  std::setlocale(LC_TIME, "");
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[128];
  const std::size_t n = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, n);
}

}  // namespace platform
