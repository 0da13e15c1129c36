// Playing a finished sound file.
#pragma once

#include <string_view>

namespace platform {

class Media {
 public:
  virtual ~Media() = default;
  // Starts playing the WAVE file at path and returns at once; stops a sound still
  // playing. A file that cannot be played plays nothing and reports nothing.
  virtual void play(std::string_view path) = 0;
  // Returns when the sound last started has ended.
  virtual void wait_until_done() = 0;
};

// For front ends that make sounds without playing them.
class SilentMedia final : public Media {
 public:
  void play(std::string_view) override {}
  void wait_until_done() override {}
};

}  // namespace platform
