// The window's start-up and command handlers, shared by the window and the console.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/services.hpp"
#include "sound/sound_request.hpp"

namespace window {

struct ToneArguments {
  std::int16_t f1 = 0;
  std::int16_t f2 = 0;
};

// The tone test's frequencies: a checked box gives its text's value rounded to 16 bits,
// an unchecked one 0. A checked value outside -32768..32767 gives instead a message that
// names the box and the range.
std::variant<ToneArguments, std::string> tone_arguments(const platform::WindowServices& window);

// Owns what the window remembers and runs one handler per user event.
class Form {
 public:
  explicit Form(platform::Services& services) : services_(services) {}

  // Start-up, before the window is first shown: the scratch folders, the controls' start
  // values, then the dataset named on the command line.
  void startup() {
    prepare_controls();
    take_command_line();
  }
  void prepare_controls();
  void take_command_line();

  // The large button: a click sounds the scratch FID again; a drop takes in the first
  // dropped file (an empty list is a drop that holds no files).
  void command1_click();
  void command1_drop(const std::vector<std::string>& files);
  // "tones": empty when played, else why it was refused (nothing is written or played).
  std::optional<std::string> command2_click();
  // "view Spectrum": the scratch copy of the plot, opened by the desktop.
  void command3_click();
  // "archive Data": empty when done or cancelled, else why the name was refused.
  std::optional<std::string> command4_click();

  const sound::FormMemory& memory() const { return memory_; }

 private:
  platform::Services& services_;
  sound::FormMemory memory_;
};

}  // namespace window
