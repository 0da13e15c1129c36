// Dataset intake: which scratch files are replaced, deleted or kept, and "view Spectrum".
#include "intake/dataset_intake.hpp"

#include <gtest/gtest.h>

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
  void intake(const std::filesystem::path& vFN) {
    intake::loadFIDfile(bench.services, memory, vFN.string());
  }
  bool exists(const char* name) const { return std::filesystem::exists(bench.scratch(name)); }
  std::string scratch(const char* name) const { return read_file(bench.scratch(name)); }

  Workbench bench;
  sound::FormMemory memory;
  std::string previousFid;
  const std::string fid = fid_with_pairs({{0, 500}, {0, 250}});
};

TEST_F(DatasetIntakeTest, ACompleteDatasetReplacesAllFourFilesAndIsSounded) {
  const auto vFN = make_dataset(bench.root.path() / "ethanol/1",
                                {fid, "Ethanol\n", "##TITLE= acqus\n", {"a.ps"}});
  intake(vFN);
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
  intake(vFN);
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

TEST_F(DatasetIntakeTest, AFolderNamedFidSomethingMisleadsTheDerivedPaths) {
  // "/fid" in "/fid_raw" is replaced too, so the siblings point into folders that do
  // not exist.
  const auto vFN = make_dataset(bench.root.path() / "fid_raw/1", {fid, "t", "a", {"a.ps"}});
  intake(vFN);
  EXPECT_EQ(scratch("fid"), fid);
  EXPECT_FALSE(exists("title"));
  EXPECT_FALSE(exists("acqus"));
  EXPECT_FALSE(exists("spectrum.eps"));
  EXPECT_FALSE(bench.window.enabled[Button::Command3]);
}

TEST_F(DatasetIntakeTest, APathWithoutLowerCaseFidTakesTheFileForEverySibling) {
  const auto folder = bench.root.path() / "upper/1";
  write_file(folder / "FID", fid);
  intake(folder / "FID");
  EXPECT_EQ(scratch("fid"), fid);
  EXPECT_EQ(scratch("title"), fid);
  EXPECT_EQ(scratch("acqus"), fid);
  // The listing names the file itself; the file followed by its name is no file.
  EXPECT_EQ(scratch("spectrum.eps"), "previous spectrum.eps");
  EXPECT_TRUE(bench.window.enabled[Button::Command3]);
}

TEST_F(DatasetIntakeTest, AnFidThatCannotBeReadLeavesThePreviousOneToBeSounded) {
  const auto missing = bench.root.path() / "gone/1/fid";
  intake(missing);
  EXPECT_EQ(scratch("fid"), previousFid);
  EXPECT_EQ(bench.window.title_text, missing.string() + "\r");
  EXPECT_EQ(scratch("fid.xls"), " 30000\r\n");

  const auto folder = make_dataset(bench.root.path() / "folder/1", {fid, "t", "a", {"a.ps"}}).parent_path();
  intake(folder);  // a dataset folder instead of its fid
  EXPECT_EQ(scratch("fid"), previousFid);
  EXPECT_FALSE(exists("title"));
  EXPECT_FALSE(exists("acqus"));
  EXPECT_FALSE(exists("spectrum.eps"));
  EXPECT_FALSE(bench.window.enabled[Button::Command3]);
  EXPECT_EQ(memory.lastFidPath, folder.string());
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
