// Maps the program's fixed "C:\..." paths onto a folder of the Linux file system.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace platform {

// The separator of native (dataset) paths.
inline constexpr std::string_view kSeparator = "/";

// Drive C: as a folder. Paths that start with "C:" (either case) live inside it;
// every other path is a native path and is used as given.
class Drive {
 public:
  // Creates the folder when it is missing; a failure shows later, as failed file operations.
  explicit Drive(std::filesystem::path folder);

  // $XDG_DATA_HOME/fid-song/drive_c, or $HOME/.local/share/fid-song/drive_c when
  // XDG_DATA_HOME is unset, empty or relative (the XDG rule); nothing when HOME is not an
  // absolute path either, rather than a drive under whatever the current folder is.
  static std::optional<Drive> from_environment();

  // "\" and "/" both separate; "." and ".." are resolved lexically and never climb above
  // the drive folder. Another drive letter names no drive: the result is empty, so every
  // operation on it fails.
  std::filesystem::path resolve(std::string_view path) const;

  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace platform
