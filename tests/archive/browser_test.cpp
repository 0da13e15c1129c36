// The archive page as a real browser, headless Chromium, renders it.
#include <gtest/gtest.h>

#include <regex>

#include "archive/archive_page.hpp"
#include "intake/dataset_intake.hpp"
#include "tests/support/process.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;

// Chromium headless, with a fresh profile and nothing that reaches for the network.
ProcessResult chromium(const std::filesystem::path& profile, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"timeout", "120", "chromium", "--headless", "--no-sandbox",
                                   "--disable-gpu", "--disable-dev-shm-usage", "--no-first-run",
                                   "--disable-background-networking", "--disable-component-update",
                                   "--disable-sync", "--mute-audio",
                                   "--user-data-dir=" + profile.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_process(argv);
}

TEST(ArchivePageInABrowser, ShowsTheCaptionTheSoundAndLinksToFilesThatExist) {
  if (!std::filesystem::exists("/usr/bin/chromium")) {
    GTEST_SKIP() << "Chromium is not installed, and could not be installed here";
  }
  Workbench bench;
  common::FormMemory memory;
  // The demo where a user keeps it, as the screenshot shows it: "~/fid-song/demo/1/fid",
  // from a folder that holds a "~" of its own (no shell expands it).
  copy_demo(bench.root.path() / "~/fid-song/demo");
  const std::string vFN = "~/fid-song/demo/1/fid";
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(bench.root.path());
  const bool played = intake::loadFIDfile(bench.services, memory, vFN).sound->played();
  std::filesystem::current_path(before);
  ASSERT_TRUE(played);
  bench.window.answers = {"demo"};
  ASSERT_EQ(archive::archivedata(bench.services).outcome, archive::ArchiveResult::Outcome::Written);
  const auto folder = bench.resolve("C:\\temp\\fidsong\\demo");
  const std::string url = "file://" + (folder / "index.htm").string();

  const ProcessResult dom = chromium(bench.root.path() / "profile", {"--dump-dom", url});
  ASSERT_EQ(dom.status, 0) << dom.err;
  std::smatch m;
  // The heading: the FID path, the carriage return (a line break to the parser), the title.
  ASSERT_TRUE(std::regex_search(dom.out, m, std::regex("<h3>([^<]*)</h3>"))) << dom.out;
  EXPECT_EQ(m[1].str(), vFN + "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n");
  EXPECT_TRUE(std::regex_search(dom.out, std::regex("<embed src=\"fid.wav\">"))) << dom.out;
  std::vector<std::string> links;
  const std::regex href("<a href=\"([^\"]*)\">");
  for (auto it = std::sregex_iterator(dom.out.begin(), dom.out.end(), href); it != std::sregex_iterator(); ++it) {
    links.push_back((*it)[1].str());
  }
  EXPECT_EQ(links, (std::vector<std::string>{"acqus.txt", "fid.bin", "mailto:" + std::string(archive::kAuthorAddress),
                                              "report.txt", "spectrum.dx", "peaks.txt"}));
  for (const char* relative : {"acqus.txt", "fid.bin", "fid.wav", "spectrum.gif", "report.txt", "spectrum.dx", "peaks.txt"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / relative)) << relative;
  }

  // The page's picture, as the browser decoded it: a page beside it loads the archive
  // page and writes down the width of its image.
  write_file(folder / "check.htm",
             "<body><iframe src=index.htm onload=\"document.body.setAttribute('data-width', "
             "this.contentDocument.querySelector('img').naturalWidth)\"></iframe></body>");
  const ProcessResult checked = chromium(bench.root.path() / "profile3",
                                         {"--allow-file-access-from-files", "--virtual-time-budget=5000", "--dump-dom",
                                          "file://" + (folder / "check.htm").string()});
  EXPECT_NE(checked.out.find("data-width=\"800\""), std::string::npos) << checked.out;
  std::filesystem::remove(folder / "check.htm");

  std::filesystem::create_directories(SCREENSHOT_DIR);
  const std::string shot = SCREENSHOT_DIR "/archive-page.png";
  std::filesystem::remove(shot);
  const ProcessResult screenshot = chromium(bench.root.path() / "profile2",
                                            {"--window-size=1200,500", "--screenshot=" + shot, url});
  EXPECT_EQ(screenshot.status, 0) << screenshot.err;
  EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

// The shared aspirin archived: its page shows the report under the picture, as the
// browser renders it (its text, the report's; 1H raised, J in italics).
TEST(ArchivePageInABrowser, ShowsTheReportOfTheDatasetUnderItsPicture) {
  if (!std::filesystem::exists("/usr/bin/chromium")) GTEST_SKIP() << "Chromium is not installed";
  if (!std::filesystem::is_directory(shared_datasets())) GTEST_SKIP() << shared_datasets() << " is not beside the checkout";
  Workbench bench;
  common::FormMemory memory;
  ASSERT_TRUE(intake::loadFIDfile(bench.services, memory, (shared_datasets() / "aspirin-1h/1/fid").string()).sound->played());
  bench.window.answers = {"aspirin"};
  ASSERT_EQ(archive::archivedata(bench.services).outcome, archive::ArchiveResult::Outcome::Written);
  const auto folder = bench.resolve("C:\\temp\\fidsong\\aspirin");
  const std::string report = read_file(folder / "report.txt");
  ASSERT_TRUE(report.starts_with("1H NMR (300 MHz, CDCl3) \u03b4 ")) << report;
  const ProcessResult dom = chromium(bench.root.path() / "profile", {"--dump-dom", "file://" + (folder / "index.htm").string()});
  ASSERT_EQ(dom.status, 0) << dom.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(dom.out, m, std::regex("<div class=\"report\">([\\s\\S]*?)</div>"))) << dom.out;
  const std::string html = m[1].str();
  EXPECT_TRUE(html.starts_with("<p><sup>1</sup>H NMR (300 MHz, CDCl3) \u03b4 8.25 (br s, 2H), 8.04 (dd, <i>J</i> = 7.8")) << html;
  // Its text, line by line, is the report's.
  std::string text = std::regex_replace(html, std::regex("</p>\\s*"), "\n");
  text = std::regex_replace(text, std::regex("<[^>]*>"), "");
  EXPECT_EQ(text, report);
}

}  // namespace
