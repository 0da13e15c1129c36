// Plays WAVE files through SDL2's audio output.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/drive.hpp"
#include "platform/media.hpp"

namespace platform {

// Reads the whole file and plays it from memory, so later rewrites of the file do not
// disturb it. SDL converts the file's rate and format to the device's. The SDL library is
// loaded on the first play; without it nothing plays. Stopping a sound, or starting
// another, takes no longer than a few hundredths of a second, whatever the sound's rate.
class SdlMedia final : public Media {
 public:
  explicit SdlMedia(const Drive& drive) : drive_(drive) {}
  ~SdlMedia() override;
  SdlMedia(const SdlMedia&) = delete;
  SdlMedia& operator=(const SdlMedia&) = delete;

  void play(std::string_view path) override;
  void wait_until_done() override;
  void stop() override;
  std::optional<Playback> playing() const override;

 private:
  const Drive& drive_;
  bool audio_ready_ = false;
  std::uint32_t device_ = 0;
  double bytesPerSecond_ = 0;  // of the sound that plays
  std::uint32_t length_ = 0;   // its bytes
};

}  // namespace platform
