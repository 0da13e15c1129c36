// The window's start-up and command handlers.
#include "window/form.hpp"

#include <algorithm>
#include <iterator>

#include "analysis/report.hpp"
#include "common/scratch_paths.hpp"
#include "platform/text.hpp"
#include "spectrum/hearing.hpp"

namespace window {
namespace {

// The folder a dataset's data file lies in: what its protons are remembered by.
std::string dataset_folder(const std::string& dataFile) { return dataFile.substr(0, dataFile.rfind('/') + 1); }

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
  return take_in(commandLine);
}

std::optional<intake::IntakeResult> Form::take_in(const std::string& path) {
  if (pending_ && pending_->work) {
    pending_->work->cancel();
    retired_.push_back(pending_->work);
  }
  pending_.reset();
  std::erase_if(retired_, [](const auto& work) { return work->finished(); });
  intake::IntakeOptions options = intakeOptions_;
  if (const auto given = protonsOf_.find(dataset_folder(intake::dataset_file(services_.files, path))); given != protonsOf_.end()) {
    options.protons = given->second;
  }
  return remember(intake::loadFIDfile(services_, memory_, path, options));
}

std::optional<intake::IntakeResult> Form::remember(std::optional<intake::IntakeResult> result) {
  if (result && result->sound) {
    trace_ = result->trace;
    spectrum_ = result->spectrum;
    analysis_ = result->analysis;
    datasetFolder_ = dataset_folder(result->dataFile);
    report_ = spectrum_ ? analysis::report(*spectrum_, analysis_) : analysis::Report{};
    peaks_ = result->peaks;
    stepped_.reset();
    region_.reset();
    regionTrace_.reset();
    if (spectrum_ && trace_) region_ = trace_->range();
    spectrumRefusal_ = result->spectrumRefusal;
    if (result->work && !intakeOptions_.waitForSpectrum) pending_ = result;
  }
  return result;
}

std::optional<int> Form::protons() const {
  const auto given = protonsOf_.find(datasetFolder_);
  if (given != protonsOf_.end()) return given->second;
  return intakeOptions_.protons;
}

bool Form::set_protons(std::optional<int> protons) {
  if (!spectrum_ || spectrum_->nucleus != "1H" || analysis_.measured.empty()) return false;
  if (protons) {
    protonsOf_[datasetFolder_] = *protons;
  } else {
    protonsOf_.erase(datasetFolder_);
  }
  analysis_ = analysis::recounted(*spectrum_, std::move(analysis_), protons);
  report_ = analysis::report(*spectrum_, analysis_);
  const platform::Lock scratch = services_.files.lock(common::kScratchLock);
  platform::Replacement file = services_.files.replace(common::kScratchReport);
  file.file().write(report_.text);
  (void)file.commit();
  stepped_.reset();
  return true;
}

bool Form::take_spectrum() {
  if (!pending_ || !pending_->work->finished()) return false;
  intake::finish_spectrum(services_, *pending_);
  std::optional<intake::IntakeResult> done = std::move(pending_);
  pending_.reset();
  done->work.reset();
  remember(std::move(done));
  return true;
}

sound::SoundResult Form::command1_click() { return sound::createsound(services_, memory_, "fid", 0, 0); }

std::optional<intake::IntakeResult> Form::command1_drop(const std::vector<std::string>& files) {
  if (files.empty()) return std::nullopt;
  return take_in(files.front());
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
  if (!heard_trace()) return std::nullopt;
  return spectrum::hear_spectrum(services_, memory_, *heard_trace());
}

double Form::position_of(std::size_t i) const { return !multiplets().empty() ? multiplets()[i].shift : peaks_[i].at; }

std::vector<std::size_t> Form::shown() const {
  std::vector<std::size_t> shown;
  const std::size_t n = !multiplets().empty() ? multiplets().size() : trace_ ? peaks_.size() : 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (region_ && region_->holds(position_of(i))) shown.push_back(i);
  }
  return shown;
}

std::optional<Step> Form::step(int direction) {
  const std::vector<std::size_t> shown = this->shown();
  if (shown.empty()) return std::nullopt;
  // The first step goes to the first shown (or, backwards, the last); the next from the
  // one last stepped to, even where it is no longer shown.
  if (!stepped_) {
    stepped_ = direction > 0 ? shown.front() : shown.back();
  } else if (direction > 0) {
    const auto after = std::upper_bound(shown.begin(), shown.end(), *stepped_);
    stepped_ = after == shown.end() ? shown.front() : *after;
  } else {
    const auto at = std::lower_bound(shown.begin(), shown.end(), *stepped_);
    stepped_ = at == shown.begin() ? shown.back() : *std::prev(at);
  }
  if (!multiplets().empty()) return *hear_multiplet(*stepped_ + 1);
  PeakStep step{*stepped_ + 1, peaks_.size(), peaks_[*stepped_], trace_->axis, {}};
  step.sound = spectrum::hear_around(services_, memory_, *trace_, step.peak.at);
  return step;
}

std::optional<MultipletStep> Form::hear_multiplet(std::size_t number) {
  if (!spectrum_ || number < 1 || number > multiplets().size()) return std::nullopt;
  MultipletStep step{number, multiplets().size(), multiplets()[number - 1], {}};
  step.sound = spectrum::hear_multiplet(services_, memory_, *spectrum_, step.multiplet);
  return step;
}

std::optional<MultipletStep> Form::step_to(std::size_t number) {
  if (number < 1 || number > multiplets().size()) return std::nullopt;
  stepped_ = number - 1;
  return hear_multiplet(number);
}

std::optional<Range> Form::whole() const {
  if (!spectrum_ || !region_) return std::nullopt;
  return spectrum::range_of(*spectrum_);
}

bool Form::show(const Range& region) {
  const auto all = whole();
  if (!all) return false;
  const double leastWidth = kLeastPoints * spectrum_->hzPerPoint / (spectrum_->in_ppm() ? spectrum_->frequencyMHz : 1);
  const Range shown = clamped(region, *all, leastWidth);
  if (shown == *region_) return false;
  region_ = shown;
  regionTrace_.reset();
  if (shown != *all) regionTrace_ = spectrum::trace_of(*spectrum_, trace_->columns.size(), shown);
  return true;
}

bool Form::zoom(double factor) {
  if (!region_) return false;
  if (stepped_ && region_->holds(position_of(*stepped_))) {
    const double at = position_of(*stepped_);
    return show(centred(zoomed(*region_, factor, at), at));
  }
  return zoom_at(factor, (region_->left + region_->right) / 2);
}

bool Form::zoom_at(double factor, double fixed) { return region_ && show(zoomed(*region_, factor, fixed)); }

bool Form::pan(double fraction) { return region_ && show(panned(*region_, fraction)); }

}  // namespace window
