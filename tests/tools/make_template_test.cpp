// The WAVE template installed beside the programs: the standard header, so that sounds
// made with it are those made without, and its presence keeps the programs from making
// one there.
#include <gtest/gtest.h>

#include "tests/support/files.hpp"
#include "tests/support/process.hpp"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

TEST(MakeTemplate, WritesTheStandardHeaderWithAnEmptyDataChunk) {
  EXPECT_TRUE(same_bytes(read_file(TEMPLATE), "RIFF" + le32(60) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) +
                                                  le32(8278) + le32(16556) + le16(2) + le16(16) + "fact" + le32(16) +
                                                  "FID-Song        " + "data" + le32(0)));
  TempDir folder;
  EXPECT_NE(run_process({MAKE_TEMPLATE, (folder.path() / "missing/fidsong.wav").string()}).status, 0)
      << "a file that cannot be written is an error";
  EXPECT_NE(run_process({MAKE_TEMPLATE}).status, 0);
}

TEST(MakeTemplate, TheSoundMadeWithItIsTheSoundMadeWithout) {
  const auto sound_of = [](const fs::path& bin, bool withTemplate) {
    fs::create_directories(bin);
    fs::copy_file(FID_SONG_CLI, bin / "fid-song-cli");
    if (withTemplate) fs::copy_file(TEMPLATE, bin / "fidsong.wav");
    const fs::path xdg = bin / "xdg";
    const ProcessResult run = run_process({(bin / "fid-song-cli").string(), "--no-play", "--no-picture", DEMO_DIR "/1/fid"},
                                          {.env = {{"XDG_DATA_HOME", xdg.string()}}});
    EXPECT_EQ(run.status, 0) << run.err;
    return read_file(xdg / "fid-song/drive_c/temp/fid.wav");
  };
  TempDir folder;
  const std::string with = sound_of(folder.path() / "with", true);
  EXPECT_GT(with.size(), 44u);
  EXPECT_TRUE(same_bytes(with, sound_of(folder.path() / "without", false)));
  EXPECT_TRUE(same_bytes(read_file(folder.path() / "with/fidsong.wav"), read_file(TEMPLATE))) << "only read";
  EXPECT_EQ(fs::file_size(folder.path() / "without/fidsong.wav"), 0u) << "where there is none, one is made";
}

}  // namespace
