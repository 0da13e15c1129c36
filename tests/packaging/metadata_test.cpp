// What software centres, the desktop and the package manager read of FID-Song agrees
// with itself and with the programs.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

const fs::path kDesktop = fs::path(SOURCE_DIR) / "window/qt/desktop";
const fs::path kMetainfo = kDesktop / "org.fidsong.FidSong.metainfo.xml";

// Every first group of pattern's matches in text.
std::set<std::string> all(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1]);
  }
  return found;
}

std::string first(const std::string& text, const std::string& pattern) {
  std::smatch m;
  return std::regex_search(text, m, std::regex(pattern)) ? m[1].str() : "";
}

TEST(Metadata, TheMetainfoValidatesAndNamesWhatTheDesktopEntryAndTheMimeTypesName) {
  const ProcessResult valid = run_process({"appstreamcli", "validate", "--no-net", kMetainfo.string()});
  EXPECT_EQ(valid.status, 0) << valid.out << valid.err;

  const std::string metainfo = read_file(kMetainfo);
  const std::string entry = read_file(kDesktop / "org.fidsong.FidSong.desktop");
  EXPECT_EQ(first(metainfo, "<id>([^<]+)</id>") + ".desktop", "org.fidsong.FidSong.desktop");
  EXPECT_EQ(first(metainfo, "<launchable type=\"desktop-id\">([^<]+)<"), "org.fidsong.FidSong.desktop");
  const std::set<std::string> opened = all(first(entry, "\nMimeType=([^\n]*)"), "([^;]+);");
  EXPECT_EQ(all(metainfo, "<mediatype>([^<]+)</mediatype>"), opened);
  EXPECT_EQ(all(read_file(kDesktop / "fid-song-mime.xml"), "<mime-type type=\"([^\"]+)\""), opened);
  EXPECT_EQ(all(metainfo, "<binary>([^<]+)</binary>"), (std::set<std::string>{"fid-song", "fid-song-cli"}));
  EXPECT_EQ(first(entry, "\nExec=([^ \n]+)"), "fid-song");
}

TEST(Metadata, TheScreenshotIsTheOneTheTestsMakeAtItsSize) {
  const std::string metainfo = read_file(kMetainfo);
  EXPECT_EQ(first(metainfo, "<image[^>]*>([^<]+)<"), "https://fidsong.org/screenshots/window.png");
  const std::string png = read_file(fs::path(SOURCE_DIR) / "docs/window.png");
  ASSERT_GE(png.size(), 24u);
  const auto be = [&](std::size_t at) {  // the PNG header's big-endian width and height
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(png[at + i]);
    return std::to_string(v);
  };
  EXPECT_EQ(first(metainfo, "<image[^>]* width=\"(\\d+)\""), be(16));
  EXPECT_EQ(first(metainfo, "<image[^>]* height=\"(\\d+)\""), be(20));
}

TEST(Metadata, EveryVersionNamedIsTheProjects) {
  const fs::path packaging = fs::path(SOURCE_DIR) / "packaging";
  EXPECT_EQ(first(read_file(kMetainfo), "<release version=\"([^\"]+)\""), PROJECT_VERSION) << "the newest release first";
  EXPECT_EQ(first(read_file(packaging / "changelog"), "^fid-song \\(([^)]+)\\)"), PROJECT_VERSION);
  for (const char* page : {"man/fid-song.1", "man/fid-song-cli.1"}) {
    EXPECT_EQ(first(read_file(packaging / page), "\"FID-Song ([^\"]+)\""), PROJECT_VERSION) << page;
  }
}

}  // namespace
