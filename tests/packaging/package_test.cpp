// `make package`: what the .deb holds, where, and what lintian says of it.
#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <sstream>

#include "tests/packaging/built_package.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

fs::path package_in(const TempDir& folder) {
  auto built = built_package(folder.path());
  if (auto* why = std::get_if<std::string>(&built)) {
    ADD_FAILURE() << "cpack: " << *why;
    return {};
  }
  return std::get<fs::path>(built);
}

std::string gunzipped(const fs::path& file) { return run_process({"gzip", "-dc", file.string()}).out; }

TEST(Package, HoldsEveryFileInItsPlaceUnderUsrAndNothingOfTheBuild) {
  TempDir folder;
  const fs::path deb = package_in(folder);
  ASSERT_FALSE(deb.empty());

  const ProcessResult listing = run_process({"dpkg-deb", "-c", deb.string()});
  ASSERT_EQ(listing.status, 0) << listing.err;
  std::map<std::string, std::string> files;  // path: permissions
  std::istringstream lines(listing.out);
  for (std::string perms, owner, size, day, time, path; lines >> perms >> owner >> size >> day >> time >> path;) {
    EXPECT_EQ(owner, "root/root") << path;
    EXPECT_EQ(path.rfind("./usr/", 0), 0u) << path;
    EXPECT_NE(path.rfind("./usr/local", 0), 0u) << path;
    if (perms[0] != 'd') files[path.substr(1)] = perms;
  }
  const std::map<std::string, std::string> expected = {
      {"/usr/bin/fid-song", "-rwxr-xr-x"},
      {"/usr/bin/fid-song-cli", "-rwxr-xr-x"},
      {"/usr/bin/fidsong.wav", "-rw-r--r--"},
      {"/usr/share/applications/org.fidsong.FidSong.desktop", "-rw-r--r--"},
      {"/usr/share/metainfo/org.fidsong.FidSong.metainfo.xml", "-rw-r--r--"},
      {"/usr/share/mime/packages/fid-song.xml", "-rw-r--r--"},
      {"/usr/share/icons/hicolor/scalable/apps/fid-song.svg", "-rw-r--r--"},
      {"/usr/share/man/man1/fid-song.1.gz", "-rw-r--r--"},
      {"/usr/share/man/man1/fid-song-cli.1.gz", "-rw-r--r--"},
      {"/usr/share/bash-completion/completions/fid-song-cli", "-rw-r--r--"},
      {"/usr/share/doc/fid-song/copyright", "-rw-r--r--"},
      {"/usr/share/doc/fid-song/changelog.gz", "-rw-r--r--"},
      {"/usr/share/lintian/overrides/fid-song", "-rw-r--r--"}};
  EXPECT_EQ(files, expected) << "no database made at build time, no file of the build folder";

  // What is unpacked is what the sources say, and names neither the build nor the sources.
  const fs::path root = folder.path() / "root";
  ASSERT_EQ(run_process({"dpkg-deb", "-x", deb.string(), root.string()}).status, 0);
  for (const auto& [path, perms] : files) {
    const std::string bytes = read_file(root.string() + path);
    EXPECT_EQ(bytes.find(BUILD_DIR), std::string::npos) << path;
    EXPECT_EQ(bytes.find(SOURCE_DIR), std::string::npos) << path;
  }
  for (const char* program : {"/usr/bin/fid-song", "/usr/bin/fid-song-cli"}) {
    const std::string dynamic = run_process({"readelf", "-d", root.string() + program}).out;
    EXPECT_EQ(dynamic.find("PATH"), std::string::npos) << program << ": no RPATH or RUNPATH";
    EXPECT_NE(dynamic.find("BIND_NOW"), std::string::npos) << program;
  }
  const fs::path src = SOURCE_DIR;
  EXPECT_EQ(gunzipped(root / "usr/share/man/man1/fid-song-cli.1.gz"), read_file(src / "packaging/man/fid-song-cli.1"));
  EXPECT_EQ(gunzipped(root / "usr/share/man/man1/fid-song.1.gz"), read_file(src / "packaging/man/fid-song.1"));
  EXPECT_EQ(read_file(root / "usr/share/bash-completion/completions/fid-song-cli"),
            read_file(src / "packaging/bash-completion/fid-song-cli"));

  // The libraries linked in are found, not written; SDL2, opened at run time, is named, and
  // the font the picture's text is drawn in.
  const std::string depends = run_process({"dpkg-deb", "-f", deb.string(), "Depends"}).out;
  for (const char* library : {"libsdl2-2.0-0", "fonts-liberation2", "libc6 (>=", "libqt6widgets6 (>=", "libcairo2 (>=",
                              "libfftw3-double3 (>="}) {
    EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
  }
}

TEST(Package, LintianReportsNoError) {
  if (run_process({"sh", "-c", "command -v lintian"}).status != 0) GTEST_SKIP() << "lintian is not installed";
  TempDir folder;
  const fs::path deb = package_in(folder);
  ASSERT_FALSE(deb.empty());
  const ProcessResult lint = run_process({"lintian", "--fail-on", "error", deb.string()});
  std::cout << "lintian: " << (lint.out.empty() ? "nothing to report\n" : lint.out);
  EXPECT_EQ(lint.status, 0) << lint.out << lint.err;
  EXPECT_EQ(lint.out.find("E: "), std::string::npos) << lint.out;
}

}  // namespace
