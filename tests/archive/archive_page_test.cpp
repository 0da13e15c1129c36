// "archive Data": the folder, its copies, the page byte for byte, and refused names.
#include "archive/archive_page.hpp"

#include <gtest/gtest.h>

#include "sound/sound_request.hpp"
#include "tests/support/workbench.hpp"
#include "window/messages.hpp"

namespace {

using namespace testsupport;
using Outcome = archive::ArchiveResult::Outcome;

// Everything of the page behind the caption, with the workbench's clock.
constexpr const char* kPageAfterCaption =
    "</h3><p><embed src=fid.wav><p><a href=acqus.txt>acqus</a> <a href=fid.bin>fid</a><p>created by "
    "FID-Song.EXE by <a href=mailto:fid-song@example.org>fid-song@example.org</a> 12/8/26 4:57:22 "
    "AM</td><td><img src=spectrum.gif></td></tr></table>";

class ArchiveTest : public ::testing::Test {
 protected:
  ArchiveTest() {
    vFN = make_dataset(bench.root.path() / "ethanol/1",
                       {fid_with_pairs({{0, 500}}), "Ethanol <b>&amp;</b>\r\nline 2\n", "##acqus\n", {"a.ps"}});
  }
  // A dataset taken in and sounded, as before a click on "archive Data".
  void take_in() {
    bench.files.copy_file(vFN.string(), "C:\\temp\\fid");
    bench.files.copy_file((vFN.parent_path() / "acqus").string(), "C:\\temp\\acqus");
    bench.files.copy_file((vFN.parent_path() / "pdata/1/title").string(), "C:\\temp\\title");
    bench.files.copy_file((vFN.parent_path() / "pdata/1/a.ps").string(), "C:\\temp\\spectrum.eps");
    ASSERT_TRUE(sound::createsound(bench.services, memory, vFN.string(), 0, 0).played());
  }
  archive::ArchiveResult archive_as(const std::string& answer) {
    bench.window.answers = {answer};
    return archive::archivedata(bench.services);
  }
  std::filesystem::path archived(const std::string& relative) const {
    return bench.resolve("C:\\temp\\fidsong\\" + relative);
  }

  Workbench bench;
  common::FormMemory memory;
  std::filesystem::path vFN;
};

TEST_F(ArchiveTest, ADatasetIsArchivedWithItsSoundAndAPageThatIsOpened) {
  take_in();
  const archive::ArchiveResult result = archive_as("run1");
  EXPECT_EQ(result.outcome, Outcome::Written);
  EXPECT_EQ(result.folder, "C:\\temp\\fidsong\\run1");
  ASSERT_EQ(bench.window.prompts.size(), 1u);
  EXPECT_EQ(bench.window.prompts[0].text, "Subdirectory of c:\\temp\\fidsong\\?");
  EXPECT_EQ(bench.window.prompts[0].default_answer, std::nullopt);

  EXPECT_EQ(read_file(archived("run1/fid.bin")), read_file(vFN));
  EXPECT_EQ(read_file(archived("run1/acqus.txt")), "##acqus\n");
  EXPECT_EQ(read_file(archived("run1/spectrum.eps")), "%!PS a.ps");
  EXPECT_EQ(read_file(archived("run1/fid.wav")), read_file(bench.scratch("fid.wav")));
  const std::string caption = vFN.string() + "\rEthanol <b>&amp;</b>\r\nline 2\n";
  EXPECT_TRUE(same_bytes(read_file(archived("run1/index.htm")),
                         "<table><tr><td><h3>" + caption + kPageAfterCaption));
  EXPECT_FALSE(std::filesystem::exists(archived("run1/spectrum.gif")));
  EXPECT_FALSE(std::filesystem::exists(archived("run1/spectrum.wav"))) << "never heard";
  EXPECT_FALSE(std::filesystem::exists(archived("run1/peaks.txt")));
  ASSERT_EQ(bench.shell.opened.size(), 1u);
  EXPECT_EQ(bench.shell.opened[0].first, "C:\\temp\\fidsong\\run1\\index.htm");
  EXPECT_EQ(bench.shell.opened[0].second, 6);
}

TEST_F(ArchiveTest, TheSpectrumHeardAndItsPeaksAreKeptWhenThereAreAndThePageStaysTheSame) {
  take_in();
  write_file(bench.scratch("spectrum.wav"), "RIFF the spectrum heard");
  write_file(bench.scratch("peaks.txt"), "7.26 ppm 100 %\n");
  ASSERT_EQ(archive_as("heard").outcome, Outcome::Written);
  EXPECT_EQ(read_file(archived("heard/spectrum.wav")), "RIFF the spectrum heard");
  EXPECT_EQ(read_file(archived("heard/peaks.txt")), "7.26 ppm 100 %\n");
  const std::string caption = vFN.string() + "\rEthanol <b>&amp;</b>\r\nline 2\n";
  EXPECT_TRUE(same_bytes(read_file(archived("heard/index.htm")), "<table><tr><td><h3>" + caption + kPageAfterCaption));
}

// A dataset with a report: the page as before, then the report escaped and formatted, and
// links to it, the export and the peaks.
TEST_F(ArchiveTest, TheReportFollowsThePageAsItWasEscapedWithItsFilesLinked) {
  take_in();
  write_file(bench.scratch("report.txt"), "1H NMR (400 MHz, CDCl3) \u03b4 7.26 (dd, J = 7.9, 1.7 Hz, 1H).\n"
                                          "Not referenced: no <TMS> & \"CDCl3\".\n");
  ASSERT_EQ(archive_as("reported").outcome, Outcome::Written);
  const std::string caption = vFN.string() + "\rEthanol <b>&amp;</b>\r\nline 2\n";
  EXPECT_TRUE(same_bytes(read_file(archived("reported/index.htm")),
                         "<table><tr><td><h3>" + caption + kPageAfterCaption +
                             "<div class=report><p><sup>1</sup>H NMR (400 MHz, CDCl3) \u03b4 7.26 (dd, <i>J</i> = 7.9, 1.7 Hz, 1H).</p>\n"
                             "<p>Not referenced: no &lt;TMS&gt; &amp; &quot;CDCl3&quot;.</p>\n</div>"
                             "<p><a href=report.txt>report</a> <a href=spectrum.dx>spectrum (JCAMP-DX)</a> <a href=peaks.txt>peaks</a>"));
  EXPECT_EQ(read_file(archived("reported/report.txt")), read_file(bench.scratch("report.txt")));
}

TEST_F(ArchiveTest, ArchivingTwiceUnderOneNameLeavesOnlyTheSecondPage) {
  take_in();
  archive_as("same");
  write_file(archived("same/notes.txt"), "kept");
  bench.window.tones = {{platform::ToneBox::First, "1"}, {platform::ToneBox::Second, "2"}};
  ASSERT_TRUE(sound::createsound(bench.services, memory, "tone", 1, 2).played());  // a shorter caption
  archive_as("same");
  EXPECT_TRUE(same_bytes(read_file(archived("same/index.htm")),
                         std::string("<table><tr><td><h3>1 and 2 Hz") + kPageAfterCaption));
  EXPECT_EQ(read_file(archived("same/fid.wav")), read_file(bench.scratch("fid.wav"))) << "the tone";
  EXPECT_EQ(read_file(archived("same/fid.bin")), read_file(vFN)) << "the last dataset's";
  EXPECT_EQ(read_file(archived("same/notes.txt")), "kept");
}

TEST_F(ArchiveTest, ACancelOrAnEmptyAnswerDoesNothing) {
  take_in();
  const auto before = std::distance(std::filesystem::directory_iterator(archived("")), {});
  bench.window.answers.clear();
  EXPECT_EQ(archive::archivedata(bench.services).outcome, Outcome::Cancelled);
  EXPECT_EQ(archive_as("").outcome, Outcome::Cancelled);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(archived("")), {}), before);
  EXPECT_TRUE(bench.shell.opened.empty());
}

TEST_F(ArchiveTest, MissingScratchFilesFailOnlyTheirOwnCopies) {
  take_in();
  std::filesystem::remove(bench.scratch("spectrum.eps"));
  std::filesystem::remove(bench.scratch("acqus"));
  archive_as("partial");
  EXPECT_FALSE(std::filesystem::exists(archived("partial/spectrum.eps")));
  EXPECT_FALSE(std::filesystem::exists(archived("partial/acqus.txt")));
  EXPECT_TRUE(std::filesystem::exists(archived("partial/fid.bin")));
  EXPECT_TRUE(std::filesystem::exists(archived("partial/fid.wav")));
  EXPECT_NE(read_file(archived("partial/index.htm")).find("<a href=acqus.txt>"), std::string::npos);
}

TEST_F(ArchiveTest, ADeeperNameMakesItsMissingFoldersAndIsOpened) {
  take_in();
  EXPECT_EQ(archive_as("2026\\ethanol").outcome, Outcome::Written);
  EXPECT_TRUE(std::filesystem::exists(archived("2026/ethanol/index.htm")));
  ASSERT_EQ(bench.shell.opened.size(), 1u);
  EXPECT_EQ(bench.shell.opened[0].first, "C:\\temp\\fidsong\\2026\\ethanol\\index.htm");

  EXPECT_EQ(archive_as("2026/propanol/1").outcome, Outcome::Written) << "\"/\" names a deeper folder too";
  EXPECT_TRUE(std::filesystem::exists(archived("2026/propanol/1/fid.wav")));
  archive_as("there\\..\\up");  // stays inside: taken as typed
  EXPECT_TRUE(std::filesystem::exists(archived("up/index.htm")));
}

TEST_F(ArchiveTest, AFolderThatCannotBeMadeIsToldAndNothingIsOpened) {
  take_in();
  write_file(archived("taken"), "a file where the folder would go");
  const struct {
    std::string name;
    const char* reason;
  } cases[] = {
      {"taken", "Not a directory"},
      {"taken\\deeper", "Not a directory"},
      {std::string(300, 'n'), "File name too long"},
  };
  for (const auto& [name, reason] : cases) {
    const archive::ArchiveResult result = archive_as(name);
    EXPECT_EQ(result.outcome, Outcome::Failed) << name;
    EXPECT_EQ(result.status.reason(), reason) << name;
    const auto message = window::archive_message(result);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find(reason), std::string::npos) << *message;
  }
  EXPECT_EQ(read_file(archived("taken")), "a file where the folder would go");
  EXPECT_TRUE(bench.shell.opened.empty()) << "no page to open";
}

TEST_F(ArchiveTest, NamesThatLeaveTheArchiveOrNameItsParentAreRefused) {
  take_in();
  const std::string wav = read_file(bench.scratch("fid.wav"));
  for (const char* name : {"..", "..\\x", "a\\..\\..", "../..", ".\\..\\temp", "a/b/../../../x",
                           ".", "./.", "keep/..", "\\"}) {
    const auto result = archive_as(name);
    EXPECT_EQ(result.outcome, Outcome::Refused) << name;
    const auto refusal = window::archive_message(result);
    ASSERT_TRUE(refusal.has_value()) << name;
    EXPECT_NE(refusal->find(name), std::string::npos) << *refusal;
    EXPECT_NE(refusal->find("c:\\temp\\fidsong"), std::string::npos) << *refusal;
  }
  EXPECT_TRUE(bench.shell.opened.empty());
  EXPECT_EQ(read_file(bench.scratch("fid.wav")), wav);
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("fid.bin")));
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("index.htm")));
  EXPECT_FALSE(std::filesystem::exists(archived("index.htm"))) << "not beside the archives";
  EXPECT_FALSE(std::filesystem::exists(bench.resolve("C:\\x")));
}

TEST(PutToFile, WritesFromThePositionIntoTheEmptiedFile) {
  Workbench bench;
  const struct {
    std::int32_t pt;
    std::string expected;
  } cases[] = {
      {0, "text"},
      {1, "text"},
      {4, std::string(3, '\0') + "text"},
      {-3, "text"},  // the position cannot be set: from the start
  };
  for (const auto& [pt, expected] : cases) {
    write_file(bench.scratch("page.htm"), "a much longer earlier content");
    archive::puttofile(bench.files, "text", "C:\\temp\\page.htm", pt);
    EXPECT_EQ(read_file(bench.scratch("page.htm")), expected) << pt;
  }
}

}  // namespace
