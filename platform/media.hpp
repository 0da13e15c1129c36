// Playing a finished sound file.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// How far a sound has played, in seconds.
struct Playback {
  double played = 0;
  double length = 0;
};

class Media {
 public:
  virtual ~Media() = default;
  // Starts playing the WAVE file at path and returns at once; stops a sound still
  // playing. A file that cannot be played plays nothing and reports nothing.
  virtual void play(std::string_view path) = 0;
  // Returns when the sound last started has ended.
  virtual void wait_until_done() = 0;
  // Stops the sound that plays, if any, and returns at once.
  virtual void stop() {}
  // The sound that plays; nothing once it has ended or was stopped.
  virtual std::optional<Playback> playing() const { return std::nullopt; }
};

// For front ends that make sounds without playing them.
class SilentMedia final : public Media {
 public:
  void play(std::string_view) override {}
  void wait_until_done() override {}
};

}  // namespace platform
