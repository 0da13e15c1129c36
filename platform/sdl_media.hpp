// Plays WAVE files through SDL2's audio output.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/drive.hpp"
#include "platform/media.hpp"

namespace platform {

// Reads the whole file and plays it from memory, so later rewrites of the file do not
// disturb it. The device is opened once, at the rate the sound server prefers (48000 Hz
// when it does not say), with buffers of about 20 ms, as players usually ask for, so that
// a busy machine does not starve it; each sound is converted to that rate as it plays.
// Stopping a sound, or starting another, takes effect within the device's buffering
// (about two buffers), whatever the sound's own rate. The SDL library is loaded on the
// first play; without it nothing plays.
class SdlMedia final : public Media {
 public:
  explicit SdlMedia(const Drive& drive);
  ~SdlMedia() override;
  SdlMedia(const SdlMedia&) = delete;
  SdlMedia& operator=(const SdlMedia&) = delete;

  void play(std::string_view path) override;
  // Returns when the device has played the sound to its end.
  void wait_until_done() override;
  void stop() override;
  std::optional<Playback> playing() const override;

  struct Device;  // the device and the sound it plays, shared with SDL's audio thread

 private:
  bool open_device();

  const Drive& drive_;
  bool audio_ready_ = false;
  std::unique_ptr<Device> device_;
};

}  // namespace platform
