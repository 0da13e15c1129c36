// Drive C: as a folder.
#include "platform/drive.hpp"

#include <cstdlib>
#include <system_error>
#include <vector>

namespace platform {
namespace {

bool has_drive_letter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string env_or_empty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

Drive::Drive(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code ignored;
  std::filesystem::create_directories(folder_, ignored);
}

std::optional<Drive> Drive::from_environment() {
  std::filesystem::path data = env_or_empty("XDG_DATA_HOME");
  if (!data.is_absolute()) {
    const std::filesystem::path home = env_or_empty("HOME");
    if (!home.is_absolute()) return std::nullopt;
    data = home / ".local/share";
  }
  return Drive(data / "fid-song" / "drive_c");
}

std::filesystem::path Drive::resolve(std::string_view path) const {
  if (!has_drive_letter(path)) return std::filesystem::path(path);
  if (path[0] != 'C' && path[0] != 'c') return {};

  std::vector<std::string_view> parts;
  std::string_view rest = path.substr(2);
  while (!rest.empty()) {
    const auto cut = rest.find_first_of("\\/");
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::filesystem::path resolved = folder_;
  for (const auto part : parts) resolved /= part;
  return resolved;
}

}  // namespace platform
