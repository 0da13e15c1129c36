// Dataset intake: which scratch files are replaced, deleted or kept, and "view Spectrum".
#include "intake/dataset_intake.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/workbench.hpp"

namespace {

using namespace testsupport;
using platform::Button;

class DatasetIntakeTest : public ::testing::Test {
 protected:
  DatasetIntakeTest() {
    // What an earlier dataset left in the scratch folder.
    for (const char* name : {"fid", "title", "acqus", "spectrum.eps"}) {
      write_file(bench.scratch(name), std::string("previous ") + name);
    }
    write_file(bench.scratch("fid"), fid_with_pairs({{0, 1000}}));
    previousFid = read_file(bench.scratch("fid"));
  }
  intake::IntakeResult intake(const std::filesystem::path& vFN, intake::IntakeOptions options = {}) {
    return intake::loadFIDfile(bench.services, memory, vFN.string(), options);
  }
  bool exists(const char* name) const { return std::filesystem::exists(bench.scratch(name)); }
  std::string scratch(const char* name) const { return read_file(bench.scratch(name)); }

  Workbench bench;
  common::FormMemory memory;
  std::string previousFid;
  const std::string fid = fid_with_pairs({{0, 500}, {0, 250}});
};

TEST_F(DatasetIntakeTest, ACompleteDatasetReplacesAllFourFilesAndIsSounded) {
  const auto vFN = make_dataset(bench.root.path() / "ethanol/1",
                                {fid, "Ethanol\n", "##TITLE= acqus\n", {"a.ps"}});
  const intake::IntakeResult result = intake(vFN);
  EXPECT_TRUE(result.copied);
  EXPECT_TRUE(result.title && result.parameters);
  EXPECT_EQ(result.plot, "a.ps");
  EXPECT_EQ(result.dataFile, vFN.string());
  EXPECT_TRUE(result.sound->played());
  EXPECT_EQ(scratch("fid"), fid);
  EXPECT_EQ(scratch("title"), "Ethanol\n");
  EXPECT_EQ(scratch("acqus"), "##TITLE= acqus\n");
  EXPECT_EQ(scratch("spectrum.eps"), "%!PS a.ps");
  EXPECT_TRUE(bench.window.enabled[Button::Command3]);
  EXPECT_EQ(memory.lastFidPath, vFN.string());
  EXPECT_EQ(bench.window.title_text, vFN.string() + "\rEthanol\n");
  EXPECT_EQ(scratch("fid.xls"), " 15000\r\n 7500\r\n") << "sounded from the new copy";
  EXPECT_EQ(bench.media.played.size(), 1u);
}

TEST_F(DatasetIntakeTest, ADatasetWithoutProcessedDataInheritsNoTitleAndNoPlot) {
  const auto vFN = make_dataset(bench.root.path() / "raw/1", {fid, "", "acqus text", {}});
  bench.window.enabled[Button::Command3] = true;
  const intake::IntakeResult result = intake(vFN, intake::IntakeOptions::without_picture());
  EXPECT_FALSE(result.title);
  EXPECT_TRUE(result.parameters);
  EXPECT_EQ(result.plot, "");
  EXPECT_FALSE(exists("title"));
  EXPECT_FALSE(exists("spectrum.eps"));
  EXPECT_EQ(scratch("acqus"), "acqus text");
  EXPECT_FALSE(bench.window.enabled[Button::Command3]);
  EXPECT_EQ(bench.window.title_text, vFN.string() + "\r");
}

TEST_F(DatasetIntakeTest, APlotWithACapitalExtensionIsFoundAndOnlyOnePlotIsCopied) {
  const auto vFN = make_dataset(bench.root.path() / "caps/1", {fid, "t", "a", {"SPECTRUM.PS"}});
  intake(vFN);
  EXPECT_EQ(scratch("spectrum.eps"), "%!PS SPECTRUM.PS");
  EXPECT_TRUE(bench.window.enabled[Button::Command3]);

  const auto several = make_dataset(bench.root.path() / "several/1", {fid, "t", "a", {"a.ps", "b.ps", "c.ps"}});
  intake(several);
  const std::string copied = scratch("spectrum.eps");
  EXPECT_TRUE(copied == "%!PS a.ps" || copied == "%!PS b.ps" || copied == "%!PS c.ps") << copied;
}

TEST_F(DatasetIntakeTest, TheSiblingsComeFromTheFilesOwnFolderWhateverTheFoldersAboveAreCalled) {
  for (const char* above : {"fid_raw", "fidel/fid-song", "fid"}) {
    const auto vFN = make_dataset(bench.root.path() / above / "1", {fid, above, "a", {"a.ps"}});
    intake(vFN);
    EXPECT_EQ(scratch("fid"), fid) << above;
    EXPECT_EQ(scratch("title"), above);
    EXPECT_EQ(scratch("acqus"), "a") << above;
    EXPECT_EQ(scratch("spectrum.eps"), "%!PS a.ps") << above;
    EXPECT_TRUE(bench.window.enabled[Button::Command3]) << above;
  }
}

TEST_F(DatasetIntakeTest, AFileWithAnotherNameIsTheDataAndItsFolderHoldsTheRest) {
  const auto folder = bench.root.path() / "upper/1";
  write_file(folder / "FID", fid);
  write_file(folder / "acqus", "a");
  intake(folder / "FID", intake::IntakeOptions::without_picture());
  EXPECT_EQ(scratch("fid"), fid);
  EXPECT_FALSE(exists("title")) << "never the data file itself";
  EXPECT_EQ(scratch("acqus"), "a");
  EXPECT_FALSE(exists("spectrum.eps"));
  EXPECT_FALSE(bench.window.enabled[Button::Command3]);
  EXPECT_EQ(memory.lastFidPath, (folder / "FID").string());
}

TEST_F(DatasetIntakeTest, ASerIsTakenInLikeAFidAndSoundsAllItsFids) {
  // Two FIDs of 48 pairs each, one after the other.
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(2 * 48 - 40, {0, 300});
  const auto folder = bench.root.path() / "jres/13";
  write_file(folder / "ser", fid_with_pairs(pairs));
  write_file(folder / "pdata/1/title", "J-resolved");
  intake(folder / "ser");
  EXPECT_EQ(scratch("fid"), read_file(folder / "ser"));
  EXPECT_EQ(scratch("title"), "J-resolved");
  EXPECT_EQ(bench.window.title_text, (folder / "ser").string() + "\rJ-resolved");
  std::string listing;
  for (std::size_t i = 0; i < pairs.size(); ++i) listing += " 9000\r\n";
  EXPECT_EQ(scratch("fid.xls"), listing) << "every pair of both FIDs";
}

TEST_F(DatasetIntakeTest, AFolderStandsForItsFidOrElseItsSer) {
  const auto withFid = make_dataset(bench.root.path() / "both/1", {fid, "t", "a", {}});
  write_file(withFid.parent_path() / "ser", "a ser beside the fid");
  const auto serOnly = bench.root.path() / "ser-only/2";
  write_file(serOnly / "ser", fid_with_pairs({{0, 100}}));
  const struct {
    std::string given;
    std::filesystem::path file;
  } cases[] = {
      {withFid.parent_path().string(), withFid},
      {withFid.parent_path().string() + "//", withFid},
      {serOnly.string(), serOnly / "ser"},
  };
  for (const auto& [given, file] : cases) {
    intake(given);
    EXPECT_EQ(scratch("fid"), read_file(file)) << given;
    EXPECT_EQ(memory.lastFidPath, file.string()) << "the file's path stands for the folder's";
  }
}

TEST_F(DatasetIntakeTest, AnFidThatCannotBeReadLeavesThePreviousOneToBeSounded) {
  const auto missing = bench.root.path() / "gone/1/fid";
  intake(missing);
  EXPECT_EQ(scratch("fid"), previousFid);
  EXPECT_EQ(bench.window.title_text, missing.string() + "\r");
  EXPECT_EQ(scratch("fid.xls"), " 30000\r\n");

  // A folder with neither fid nor ser is a path that cannot be read.
  const auto folder = bench.root.path() / "empty/1";
  write_file(folder / "acqus", "a");
  write_file(folder / "pdata/1/a.ps", "%!PS");
  intake(folder);
  EXPECT_EQ(scratch("fid"), previousFid);
  EXPECT_FALSE(exists("title"));
  EXPECT_FALSE(exists("acqus"));
  // Not the folder's plot: the spectrum of the FID still sounded, drawn in its stead.
  EXPECT_EQ(scratch("spectrum.eps").substr(0, 23), "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(memory.lastFidPath, folder.string());
}

// Sees what the scratch picture holds when the sound is handed over.
class PictureAtPlay final : public platform::Media {
 public:
  explicit PictureAtPlay(std::filesystem::path picture) : picture_(std::move(picture)) {}
  void play(std::string_view) override { seen.push_back(read_file(picture_)); }
  void wait_until_done() override {}
  std::vector<std::string> seen;

 private:
  std::filesystem::path picture_;
};

TEST_F(DatasetIntakeTest, TheSpectrumIsDrawnBesideTheSoundAndStandsInForAMissingPlot) {
  write_file(bench.scratch("spectrum.gif"), "the previous picture");
  PictureAtPlay media(bench.scratch("spectrum.gif"));
  platform::Services services{bench.files, bench.window, media, bench.shell};
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  for (int k = 0; k < 2000; ++k) pairs.emplace_back(static_cast<std::int32_t>(1e6 * std::cos(k * 0.3)),
                                                    static_cast<std::int32_t>(1e6 * std::sin(k * 0.3)));
  const auto vFN = make_dataset(bench.root.path() / "noplot/1", {fid_with_pairs(pairs), "t", "##$SW_h= 4000\n", {}});
  const auto result = intake::loadFIDfile(services, memory, vFN.string());
  ASSERT_EQ(media.seen.size(), 1u);
  EXPECT_NE(media.seen.front(), "the previous picture") << "gone before the new dataset's sound plays";
  EXPECT_TRUE(result.picture);
  EXPECT_EQ(scratch("spectrum.gif").substr(0, 6), "GIF89a");
  EXPECT_EQ(scratch("spectrum.eps").substr(0, 23), "%!PS-Adobe-3.0 EPSF-3.0") << "drawn for want of a plot";
  EXPECT_TRUE(bench.window.enabled[Button::Command3]);

  // A dataset with a plot of its own keeps it, and gets the picture too.
  const auto withPlot = make_dataset(bench.root.path() / "plot/1", {fid_with_pairs(pairs), "t", "", {"a.ps"}});
  EXPECT_TRUE(intake(withPlot).picture);
  EXPECT_EQ(scratch("spectrum.eps"), "%!PS a.ps");
  EXPECT_EQ(scratch("spectrum.gif").substr(0, 6), "GIF89a");

  // Nothing to draw from (one point: no spectrum): as without pictures.
  const auto empty = make_dataset(bench.root.path() / "empty/1", {std::string(8, '\0'), "t", "", {}});
  EXPECT_FALSE(intake(empty).picture);
  EXPECT_FALSE(exists("spectrum.gif"));
  EXPECT_FALSE(exists("spectrum.eps"));
  EXPECT_FALSE(bench.window.enabled[Button::Command3]);

  // Left out when asked; the previous dataset's picture goes all the same.
  EXPECT_TRUE(intake(vFN).picture);
  EXPECT_FALSE(intake(vFN, intake::IntakeOptions::without_picture()).picture);
  EXPECT_FALSE(exists("spectrum.gif"));
}

TEST_F(DatasetIntakeTest, ThePathsToneAndFidBecomeTheToneTestAndAReplay) {
  intake("tone");
  EXPECT_EQ(bench.window.title_text, "440 and 445 Hz");
  EXPECT_EQ(scratch("fid.xls"), " 0\r\n") << "both frequencies 0: silence";
  intake("fid");
  EXPECT_EQ(memory.lastFidPath, "");
  EXPECT_EQ(bench.window.title_text, "\r");
}

}  // namespace
