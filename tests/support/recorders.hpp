// Stand-ins for the desktop and the sound card that record what they were asked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/media.hpp"
#include "platform/shell.hpp"

namespace testsupport {

// Records what it was asked to open.
class RecordingShell final : public platform::Shell {
 public:
  void shellopen(const std::string& url, std::int16_t mode) override { opened.push_back({url, mode}); }
  std::vector<std::pair<std::string, std::int16_t>> opened;
};

// Records what it was asked to play.
class RecordingMedia final : public platform::Media {
 public:
  void play(std::string_view path) override { played.emplace_back(path); }
  void wait_until_done() override {}
  std::vector<std::string> played;
};

}  // namespace testsupport
