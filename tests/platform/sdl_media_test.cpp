// Playback through SDL2, captured with SDL's disk audio driver.
#include "platform/sdl_media.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/files.hpp"

namespace {

using namespace testsupport;

// A 16-bit mono file laid out as the program writes it, comment chunk included.
std::string wave_file(const std::string& samples, std::int32_t rate) {
  const std::string comment = "a comment       ";
  return "RIFF" + le32(static_cast<std::int32_t>(36 + 8 + comment.size() + 8 + samples.size())) +
         "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) +
         le16(16) + "fact" + le32(static_cast<std::int32_t>(comment.size())) + comment + "data" +
         le32(static_cast<std::int32_t>(samples.size())) + samples;
}

class SdlMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", captured().c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "0", 1);
  }
  void TearDown() override { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }
  std::filesystem::path captured() const { return dir.path() / "captured.raw"; }

  TempDir dir;
  platform::Drive drive{dir.path() / "drive_c"};
};

TEST_F(SdlMediaTest, WhatIsPlayedIsTheFilesSound) {
  // At the device's rate (48000 Hz with the disk driver): played as it is.
  std::string samples;
  for (int i = 0; i < 4000; ++i) samples += le16(static_cast<std::int16_t>(i * 7 - 14000));
  write_file(drive.resolve("C:\\temp\\fid.wav"), wave_file(samples, 48000));
  {
    platform::SdlMedia media(drive);
    media.play("c:\\temp\\fid.wav");
    // A later rewrite of the file does not reach the sound already playing.
    write_file(drive.resolve("C:\\temp\\fid.wav"), "rewritten");
    media.wait_until_done();
  }
  const std::string played = after_leading_silence(read_file(captured()));
  ASSERT_GE(played.size(), samples.size());
  EXPECT_TRUE(same_bytes(played.substr(0, samples.size()), samples));
  EXPECT_EQ(played.substr(samples.size()), std::string(played.size() - samples.size(), '\0'))
      << "only silence follows";
}

TEST_F(SdlMediaTest, ASoundOfAnyRateIsPlayedAtTheDevicesForItsOwnLength) {
  // "x 1" of an FID: 8278 Hz, a 500 Hz tone for a second, converted as it plays.
  std::string samples;
  for (int i = 0; i < 8278; ++i) samples += le16(static_cast<std::int16_t>(std::lround(20000 * std::sin(2 * M_PI * 500 * i / 8278.0))));
  write_file(drive.resolve("C:\\temp\\fid.wav"), wave_file(samples, 8278));
  {
    platform::SdlMedia media(drive);
    media.play("C:\\temp\\fid.wav");
    media.wait_until_done();
  }
  const std::string raw = read_file(captured());
  std::vector<double> played;
  for (std::size_t at = 0; at + 1 < raw.size(); at += 2) played.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(raw[at]) | raw[at + 1] << 8));
  const auto first = std::find_if(played.begin(), played.end(), [](double v) { return std::abs(v) > 1000; });
  const auto last = std::find_if(played.rbegin(), played.rend(), [](double v) { return std::abs(v) > 1000; });
  ASSERT_NE(first, played.end());
  const double seconds = static_cast<double>(last.base() - first) / 48000;
  EXPECT_NEAR(seconds, 1.0, 0.005) << "its own length, at the device's rate";
  // Still the 500 Hz tone: zero crossings, a thousand a second.
  int crossings = 0;
  for (auto it = first + 1; it != last.base(); ++it) crossings += (*(it - 1) < 0) != (*it < 0);
  EXPECT_NEAR(crossings / seconds, 1000, 5);
}

TEST_F(SdlMediaTest, ANewPlayStopsTheSoundStillPlaying) {
  // At the device's own pace, so that the first sound is still playing when the second
  // one starts: 5 s of a steady 1000, then 0.25 s of a steady -1000.
  ::unsetenv("SDL_DISKAUDIODELAY");
  std::string first, second;
  for (int i = 0; i < 5 * 48000; ++i) first += le16(1000);
  for (int i = 0; i < 48000 / 4; ++i) second += le16(-1000);
  write_file(drive.resolve("C:\\temp\\first.wav"), wave_file(first, 48000));
  write_file(drive.resolve("C:\\temp\\second.wav"), wave_file(second, 48000));
  {
    platform::SdlMedia media(drive);
    media.play("C:\\temp\\first.wav");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    media.play("C:\\temp\\second.wav");
    media.wait_until_done();
  }
  // One device for both: the first sound, cut short, then the second whole.
  std::string played = after_leading_silence(read_file(captured()));
  const std::size_t cut = played.find(le16(-1000));
  ASSERT_NE(cut, std::string::npos);
  const std::string before = played.substr(0, cut);
  EXPECT_LT(before.size(), first.size() / 4) << "the first sound did not play on";
  EXPECT_EQ(before.find_first_not_of(le16(1000) + std::string(2, '\0')), std::string::npos) << "the first, then silence";
  EXPECT_EQ(played.substr(cut, second.size()), second) << "the second sound played whole";
}

TEST_F(SdlMediaTest, ASlowSoundStopsAtOnceAndTellsHowFarItHasPlayed) {
  // The slowest speed's rate: its sound used to hold a stop or a new play for seconds.
  ::unsetenv("SDL_DISKAUDIODELAY");
  write_file(drive.resolve("C:\\temp\\slow.wav"), wave_file(std::string(2 * 828 * 30, '\x10'), 828));
  const auto seconds_of = [](auto work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  auto owned = std::make_unique<platform::SdlMedia>(drive);
  {
    platform::SdlMedia& media = *owned;
    EXPECT_FALSE(media.playing().has_value());
    media.play("C:\\temp\\slow.wav");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto playback = media.playing();
    ASSERT_TRUE(playback.has_value());
    EXPECT_DOUBLE_EQ(playback->length, 30);
    EXPECT_NEAR(playback->played, 0.5, 0.3);
    EXPECT_LT(seconds_of([&] { media.play("C:\\temp\\slow.wav"); }), 0.2) << "a new sound";
    EXPECT_LT(seconds_of([&] { media.stop(); }), 0.2) << "Esc";
    EXPECT_FALSE(media.playing().has_value());
    media.play("C:\\temp\\slow.wav");
  }
  EXPECT_LT(seconds_of([&] { owned.reset(); }), 0.2) << "the window closes while it plays";
}

TEST_F(SdlMediaTest, AFileThatCannotBePlayedPlaysNothingAndThrowsNothing) {
  write_file(drive.resolve("C:\\temp\\fid.wav"), "not a wave file");
  std::filesystem::create_directories(drive.resolve("C:\\temp\\folder.wav"));
  ASSERT_EQ(::mkfifo(drive.resolve("C:\\temp\\fifo.wav").c_str(), 0600), 0);
  platform::SdlMedia media(drive);
  for (const char* path : {"C:\\temp\\fid.wav", "C:\\temp\\missing.wav", "C:\\temp\\folder.wav",
                           "C:\\temp\\fifo.wav", "D:\\elsewhere.wav"}) {
    EXPECT_NO_THROW(media.play(path)) << path;
  }
  media.wait_until_done();
  EXPECT_FALSE(std::filesystem::exists(captured()));
}

}  // namespace
