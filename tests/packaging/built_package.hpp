// The Debian package of this build, made by CPack as `make package` makes it.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace testsupport {

// The dpkg architecture of this machine ("amd64").
std::string debian_architecture();

// Builds the package into folder (its staging included): the package's path, or CPack's
// complaint.
std::variant<std::filesystem::path, std::string> built_package(const std::filesystem::path& folder);

}  // namespace testsupport
