// The window's start-up and command handlers.
#include "window/form.hpp"

#include "common/scratch_paths.hpp"
#include "platform/text.hpp"
#include "spectrum/hearing.hpp"

namespace window {
namespace {

using platform::Button;
using platform::ToneBox;

constexpr const char* kReplaySpeeds[] = {"x ?", "x 0.125", "x 0.25", "x 0.5", "x 1", "x 2", "x 3"};
constexpr int kStartSpeed = 4;  // "x 1"

}  // namespace

ToneArguments tone_arguments(const platform::WindowServices& window) {
  ToneArguments arguments;
  for (const ToneBox box : {ToneBox::First, ToneBox::Second}) {
    // An unchecked box's text never reaches the conversion.
    if (!window.tone_switch(box)) continue;
    const auto value = platform::round_to_int16(platform::numeric_value(window.tone_text(box)));
    if (!value) {
      arguments.refused = box;
      return arguments;
    }
    (box == ToneBox::First ? arguments.f1 : arguments.f2) = *value;
  }
  return arguments;
}

void Form::prepare_controls() {
  auto& files = services_.files;
  auto& window = services_.window;
  files.create_folder(common::kScratchFolder);
  files.create_folder(common::kArchiveParent);
  window.set_tone_text(ToneBox::First, "440");
  window.set_tone_text(ToneBox::Second, "445");
  for (const char* speed : kReplaySpeeds) window.append_replay_entry(speed);
  window.pick_replay_entry(kStartSpeed);
  window.enable(Button::Command3, false);
  window.enable(Button::Command4, false);
  window.enable(Button::Command5, false);
}

std::optional<intake::IntakeResult> Form::take_command_line() {
  // The whole text is one path: not split, quotes kept.
  const std::string commandLine = services_.window.command_line();
  if (commandLine.empty()) return std::nullopt;
  return remember(intake::loadFIDfile(services_, memory_, commandLine, intakeOptions_));
}

std::optional<intake::IntakeResult> Form::remember(std::optional<intake::IntakeResult> result) {
  if (result && result->sound) {
    trace_ = result->trace;
    peaks_ = result->peaks;
    peak_.reset();
  }
  return result;
}

sound::SoundResult Form::command1_click() { return sound::createsound(services_, memory_, "fid", 0, 0); }

std::optional<intake::IntakeResult> Form::command1_drop(const std::vector<std::string>& files) {
  if (files.empty()) return std::nullopt;
  return remember(intake::loadFIDfile(services_, memory_, files.front(), intakeOptions_));
}

ToneTestResult Form::command2_click() {
  const ToneArguments arguments = tone_arguments(services_.window);
  if (arguments.refused) return {arguments.refused, {}};
  return {std::nullopt, sound::createsound(services_, memory_, "tone", arguments.f1, arguments.f2)};
}

void Form::command3_click() {
  services_.shell.shellopen(common::kScratchSpectrum, platform::kShowMinimized);
}

archive::ArchiveResult Form::command4_click() { return archive::archivedata(services_); }

std::optional<sound::SoundResult> Form::command5_click() {
  if (!trace_) return std::nullopt;
  return spectrum::hear_spectrum(services_, memory_, *trace_);
}

std::optional<PeakStep> Form::step_peak(int direction) {
  if (!trace_ || peaks_.empty()) return std::nullopt;
  const std::size_t n = peaks_.size();
  // The first step goes to the first peak (or, backwards, the last).
  peak_ = !peak_ ? (direction > 0 ? 0 : n - 1) : (*peak_ + (direction > 0 ? 1 : n - 1)) % n;
  PeakStep step{*peak_ + 1, n, peaks_[*peak_], trace_->axis, {}};
  step.sound = spectrum::hear_around(services_, memory_, *trace_, step.peak.at);
  return step;
}

}  // namespace window
