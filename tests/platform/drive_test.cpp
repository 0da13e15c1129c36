// Drive C: as a folder: how fixed paths map into it.
#include "platform/drive.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/files.hpp"

namespace {

using platform::Drive;

TEST(Drive, ResolvesFixedPathsInsideTheFolderAndLeavesNativePathsAlone) {
  testsupport::TempDir dir;
  const Drive drive(dir.path() / "c");
  const auto c = dir.path() / "c";
  const struct {
    const char* path;
    std::filesystem::path expected;
  } cases[] = {
      {"C:\\temp\\fid", c / "temp" / "fid"},
      {"c:\\temp\\spectrum.eps", c / "temp" / "spectrum.eps"},
      {"C:/temp\\fidsong/run1\\index.htm", c / "temp" / "fidsong" / "run1" / "index.htm"},
      {"C:\\temp\\.\\a\\..\\b", c / "temp" / "b"},
      {"C:\\..\\..\\x", c / "x"},  // never above the drive
      {"C:\\temp\\fidsong\\..\\..\\..\\etc", c / "etc"},
      {"C:", c},
      {"D:\\temp\\fid", {}},  // no such drive
      {"/data/nmr/1/fid", "/data/nmr/1/fid"},
      {"relative/fid", "relative/fid"},
      {"tone", "tone"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(drive.resolve(path), expected) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(c)) << "a drive always exists";
}

TEST(Drive, LivesUnderTheUsersDataFolder) {
  testsupport::TempDir dir;
  const char* oldXdg = std::getenv("XDG_DATA_HOME");
  const std::string savedXdg = oldXdg ? oldXdg : "";
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";

  ::setenv("XDG_DATA_HOME", (dir.path() / "xdg").c_str(), 1);
  EXPECT_EQ(Drive::from_environment()->folder(), dir.path() / "xdg/fid-song/drive_c");
  ::setenv("XDG_DATA_HOME", "", 1);
  ::setenv("HOME", (dir.path() / "home").c_str(), 1);
  EXPECT_EQ(Drive::from_environment()->folder(), dir.path() / "home/.local/share/fid-song/drive_c");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "home/.local/share/fid-song/drive_c"));
  ::setenv("XDG_DATA_HOME", "relative/xdg", 1);  // not a base folder: passed over
  EXPECT_EQ(Drive::from_environment()->folder(), dir.path() / "home/.local/share/fid-song/drive_c");

  // Without either, no drive: never one under the current folder.
  ::unsetenv("HOME");
  EXPECT_FALSE(Drive::from_environment().has_value());
  ::setenv("HOME", "home", 1);
  EXPECT_FALSE(Drive::from_environment().has_value());

  ::setenv("HOME", savedHome.c_str(), 1);
  if (oldXdg) {
    ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
