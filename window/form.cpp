// The window's start-up and command handlers.
#include "window/form.hpp"

#include "archive/archive_page.hpp"
#include "intake/dataset_intake.hpp"
#include "platform/text.hpp"
#include "sound/scratch_paths.hpp"

namespace window {
namespace {

using platform::Button;
using platform::ToneBox;

constexpr const char* kReplaySpeeds[] = {"x ?", "x 0.125", "x 0.25", "x 0.5", "x 1", "x 2", "x 3"};
constexpr int kStartSpeed = 4;  // "x 1"

}  // namespace

std::variant<ToneArguments, std::string> tone_arguments(const platform::WindowServices& window) {
  struct Box {
    ToneBox box;
    const char* description;
  };
  const Box boxes[] = {{ToneBox::First, "The first tone (txtF1)"},
                       {ToneBox::Second, "The second tone (txtF2)"}};
  std::int16_t values[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    // An unchecked box's text never reaches the conversion.
    if (!window.tone_switch(boxes[i].box)) continue;
    const auto value = platform::round_to_int16(platform::numeric_value(window.tone_text(boxes[i].box)));
    if (!value) {
      return std::string(boxes[i].description) +
             " must lie between -32768 and 32767 Hz; the tone test was not played.";
    }
    values[i] = *value;
  }
  return ToneArguments{values[0], values[1]};
}

void Form::prepare_controls() {
  auto& files = services_.files;
  auto& window = services_.window;
  files.create_folder(sound::kScratchFolder);
  files.create_folder(sound::kArchiveParent);
  window.set_tone_text(ToneBox::First, "440");
  window.set_tone_text(ToneBox::Second, "445");
  for (const char* speed : kReplaySpeeds) window.append_replay_entry(speed);
  window.pick_replay_entry(kStartSpeed);
  window.enable(Button::Command3, false);
  window.enable(Button::Command4, false);
}

void Form::take_command_line() {
  // The whole text is one path: not split, quotes kept.
  const std::string commandLine = services_.window.command_line();
  if (!commandLine.empty()) intake::loadFIDfile(services_, memory_, commandLine);
}

void Form::command1_click() { sound::createsound(services_, memory_, "fid", 0, 0); }

void Form::command1_drop(const std::vector<std::string>& files) {
  if (!files.empty()) intake::loadFIDfile(services_, memory_, files.front());
}

std::optional<std::string> Form::command2_click() {
  const auto arguments = tone_arguments(services_.window);
  if (const auto* refusal = std::get_if<std::string>(&arguments)) return *refusal;
  const auto& [f1, f2] = std::get<ToneArguments>(arguments);
  sound::createsound(services_, memory_, "tone", f1, f2);
  return std::nullopt;
}

void Form::command3_click() {
  services_.shell.shellopen(sound::kScratchSpectrum, platform::kShowMinimized);
}

std::optional<std::string> Form::command4_click() { return archive::archivedata(services_); }

}  // namespace window
