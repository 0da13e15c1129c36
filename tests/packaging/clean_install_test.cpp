// The package installed with apt into a clean Debian root, as a chemist installs it, then
// removed: a debootstrap --variant=minbase chroot of this machine's release, from the
// mirror that this machine's apt uses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "tests/packaging/built_package.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

std::string os_release(const std::string& key) {
  std::ifstream in("/etc/os-release");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key + "=", 0) == 0) return std::regex_replace(line.substr(key.size() + 1), std::regex("\""), "");
  }
  return "";
}

// The first mirror that apt's sources give for suite, in either of their two forms.
std::string mirror_for(const std::string& suite) {
  std::vector<fs::path> lists = {"/etc/apt/sources.list"};
  if (fs::is_directory("/etc/apt/sources.list.d")) {
    for (const auto& entry : fs::directory_iterator("/etc/apt/sources.list.d")) lists.push_back(entry.path());
  }
  for (const fs::path& list : lists) {
    if (!fs::is_regular_file(list)) continue;
    const std::string text = read_file(list);
    if (list.extension() == ".sources") {
      std::istringstream stanzas(std::regex_replace(text, std::regex("\n[ \t]*\n"), "\f"));
      for (std::string stanza; std::getline(stanzas, stanza, '\f');) {
        std::smatch types, uris, suites;
        if (std::regex_search(stanza, types, std::regex("(^|\n)Types:[^\n]*\\bdeb\\b")) &&
            std::regex_search(stanza, uris, std::regex("(^|\n)URIs:[ \t]*(\\S+)")) &&
            std::regex_search(stanza, suites, std::regex("(^|\n)Suites:([^\n]*)")) &&
            std::regex_search(suites[2].str(), std::regex("(^|\\s)" + suite + "(\\s|$)"))) {
          return uris[2];
        }
      }
    } else if (list.extension() == ".list" || list.filename() == "sources.list") {
      std::smatch line;
      if (std::regex_search(text, line, std::regex("(^|\n)deb[ \t]+(\\[[^\\]]*\\][ \t]+)?(\\S+)[ \t]+" + suite + "[ \t]"))) {
        return line[3];
      }
    }
  }
  return "";
}

class CleanRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "a chroot needs root";
    if (run_process({"sh", "-c", "command -v debootstrap"}).status != 0) GTEST_SKIP() << "debootstrap is not installed";
    suite = os_release("VERSION_CODENAME");
    const std::string mirror = mirror_for(suite);
    if (suite.empty() || mirror.empty()) GTEST_SKIP() << "no Debian mirror in apt's sources for '" << suite << "'";
    const ProcessResult made =
        run_process({"debootstrap", "--variant=minbase", suite, root().string(), mirror});
    if (made.status != 0) {
      const std::string log = made.out + made.err;
      GTEST_SKIP() << "debootstrap could not make a root from " << mirror << ": " << log.substr(log.size() > 600 ? log.size() - 600 : 0);
    }
  }
  fs::path root() const { return folder.path() / "root"; }
  // A shell command run inside the root, as its root user.
  ProcessResult in_root(const std::string& command) const {
    return run_process({"chroot", root().string(), "sh", "-c", command},
                       {.env = {{"DEBIAN_FRONTEND", "noninteractive"}, {"LANG", "C.UTF-8"}, {"LC_ALL", ""},
                                {"HOME", "/root"}, {"XDG_DATA_HOME", ""}, {"MANWIDTH", "80"}}});
  }

  TempDir folder;
  std::string suite;
};

TEST_F(CleanRoot, InstalledWithAptItRunsAndIsKnownAndRemovedItLeavesNothing) {
  const auto built = built_package(folder.path() / "package");
  ASSERT_TRUE(std::holds_alternative<fs::path>(built)) << std::get<std::string>(built);
  const fs::path deb = std::get<fs::path>(built);
  fs::copy_file(deb, root() / "tmp" / deb.filename());
  // What the checks below need of the root itself: man and xdg-mime.
  const ProcessResult tools = in_root("apt-get update -qq && apt-get install -y -qq man-db xdg-utils");
  ASSERT_EQ(tools.status, 0) << tools.out << tools.err;
  const ProcessResult install = in_root("cd /tmp && apt-get install -y -qq ./" + deb.filename().string());
  ASSERT_EQ(install.status, 0) << install.out << install.err;
  const std::string files = in_root("dpkg -L fid-song").out;

  EXPECT_EQ(in_root("fid-song-cli --version").out, "fid-song-cli " PROJECT_VERSION "\n");
  const ProcessResult man = in_root("man -P cat fid-song-cli");
  EXPECT_EQ(man.status, 0) << man.err;
  EXPECT_NE(man.out.find("fid-song-cli - listen to an NMR dataset"), std::string::npos) << man.out;
  EXPECT_EQ(in_root("ldd /usr/bin/fid-song /usr/bin/fid-song-cli | grep 'not found'").out, "") << "every library there";
  EXPECT_EQ(in_root("ldconfig -p | grep -c 'libSDL2-2.0.so.0 '").out, "1\n") << "SDL2, opened at run time, installed";
  ASSERT_EQ(in_root("mkdir -p /tmp/data && : > /tmp/data/fid").status, 0);
  EXPECT_EQ(in_root("xdg-mime query filetype /tmp/data/fid").out, "application/x-nmr-fid\n");

  // The demo, sounded in the root as on this machine: the same samples (the comment
  // names the dataset's path), the same listing and picture.
  fs::copy(DEMO_DIR, root() / "tmp/demo", fs::copy_options::recursive);
  const ProcessResult sounded = in_root("HOME=/tmp/home fid-song-cli --no-play /tmp/demo/1/fid");
  EXPECT_EQ(sounded.status, 0) << sounded.out << sounded.err;
  const TempDir here;
  ASSERT_EQ(run_process({FID_SONG_CLI, "--no-play", DEMO_DIR "/1/fid"}, {.env = {{"XDG_DATA_HOME", here.path().string()}}}).status, 0);
  const auto made_there = [&](const char* name) { return read_file(root() / "tmp/home/.local/share/fid-song/drive_c/temp" / name); };
  const auto made_here = [&](const char* name) { return read_file(here.path() / "fid-song/drive_c/temp" / name); };
  EXPECT_GT(wave_samples(made_here("fid.wav")).size(), 60000u);
  EXPECT_TRUE(same_bytes(wave_samples(made_there("fid.wav")), wave_samples(made_here("fid.wav"))));
  for (const char* name : {"fid.xls", "spectrum.gif"}) EXPECT_TRUE(same_bytes(made_there(name), made_here(name))) << name;

  const ProcessResult removed = in_root("apt-get remove -y -qq fid-song");
  ASSERT_EQ(removed.status, 0) << removed.out << removed.err;
  std::istringstream paths(files);
  int checked = 0;
  for (std::string path; std::getline(paths, path);) {
    if (fs::is_directory(root().string() + path) || path == "/.") continue;
    EXPECT_FALSE(fs::exists(fs::symlink_status(root().string() + path))) << path << " left behind";
    ++checked;
  }
  EXPECT_GE(checked, 13);
  EXPECT_FALSE(fs::exists(root() / "usr/share/doc/fid-song")) << "nor its folders";
  EXPECT_EQ(in_root("dpkg-query -W fid-song 2>/dev/null").out, "") << "no trace in dpkg's database";
  EXPECT_NE(in_root("xdg-mime query filetype /tmp/data/fid").out, "application/x-nmr-fid\n") << "the type gone too";
}

}  // namespace
