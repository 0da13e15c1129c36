// The window's start-up and command handlers, shared by the window and the console.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/report.hpp"
#include "archive/archive_page.hpp"
#include "common/form_memory.hpp"
#include "intake/dataset_intake.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"
#include "spectrum/peaks.hpp"
#include "spectrum/trace.hpp"
#include "window/region.hpp"

namespace window {

struct ToneArguments {
  std::int16_t f1 = 0;
  std::int16_t f2 = 0;
  // A checked box whose value does not fit -32768..32767 Hz: the tone test is refused.
  std::optional<platform::ToneBox> refused;
};

// The tone test's frequencies: a checked box gives its text's value rounded to 16 bits,
// an unchecked one 0.
ToneArguments tone_arguments(const platform::WindowServices& window);

// What "tones" did: refused before anything was written, or the sound request's result.
struct ToneTestResult {
  std::optional<platform::ToneBox> refused;
  sound::SoundResult sound;
};

// A step to a peak of the last spectrum drawn: which of them it is, and its sound.
struct PeakStep {
  std::size_t number = 0;  // from 1
  std::size_t count = 0;
  spectrum::Peak peak;
  spectrum::Axis axis = spectrum::Axis::Ppm;
  sound::SoundResult sound;  // half a second of the spectrum heard around it
};

// A step to a multiplet of the last spectrum analysed, and its sound.
struct MultipletStep {
  std::size_t number = 0;  // from 1, from high shift down
  std::size_t count = 0;
  analysis::Multiplet multiplet;
  sound::SoundResult sound;  // the multiplet swept in a second (multiplet.wav)
};

// Where Ctrl+. and Ctrl+, go: the multiplets, or the peaks of a spectrum that has none.
using Step = std::variant<PeakStep, MultipletStep>;

// Owns what the window remembers and runs one handler per user event; each returns what
// its routine did, for the front end to tell.
class Form {
 public:
  explicit Form(platform::Services& services, intake::IntakeOptions intakeOptions = {})
      : services_(services), intakeOptions_(intakeOptions) {}

  // Start-up, before the window is first shown: the scratch folders, the controls' start
  // values, then the dataset named on the command line (none: nothing to report).
  std::optional<intake::IntakeResult> startup() {
    prepare_controls();
    return take_command_line();
  }
  void prepare_controls();
  std::optional<intake::IntakeResult> take_command_line();

  // The large button: a click sounds the scratch FID again; a drop takes in the first
  // dropped file (an empty list is a drop that holds no files, and does nothing).
  sound::SoundResult command1_click();
  std::optional<intake::IntakeResult> command1_drop(const std::vector<std::string>& files);
  ToneTestResult command2_click();  // "tones"
  // "view Spectrum": the scratch copy of the plot, opened by the desktop.
  void command3_click();
  archive::ArchiveResult command4_click();  // "archive Data"
  // "hear Spectrum": the region shown of the spectrum of the dataset last taken in, heard;
  // nothing when no spectrum was drawn for it.
  std::optional<sound::SoundResult> command5_click();
  // To the next multiplet in the region shown (direction 1) or the previous one (-1),
  // round from the last to the first, and heard; to its peaks when the spectrum has no
  // multiplets; nothing when the region holds none.
  std::optional<Step> step(int direction);
  // Multiplet number (from 1, from high shift down) heard; nothing when there is none such.
  std::optional<MultipletStep> hear_multiplet(std::size_t number);
  // To multiplet number (from 1), as a step lands on it, and heard; nothing when there is
  // none such.
  std::optional<MultipletStep> step_to(std::size_t number);

  // The part of the spectrum shown, heard and stepped through: the whole of it after each
  // dataset taken in; nothing without a spectrum.
  const std::optional<Range>& region() const { return region_; }
  std::optional<Range> whole() const;
  // Each keeps the region within the spectrum and at least kLeastPoints of its points
  // wide; false when there is no spectrum or nothing changed.
  static constexpr double kLeastPoints = 16;
  bool show(const Range& region);
  // factor times narrower (wider, below 1), centred on the multiplet (or peak) last
  // stepped to when the region holds it, else about its centre.
  bool zoom(double factor);
  // The same, the value `fixed` standing where it stood (the wheel's, under the pointer).
  bool zoom_at(double factor, double fixed);
  bool pan(double fraction);  // by a fraction of its width to the right; negative: the left
  // The trace that "hear Spectrum" plays: the drawn one, or the region's.
  const std::optional<spectrum::Trace>& heard_trace() const { return regionTrace_ ? regionTrace_ : trace_; }
  // The multiplet (or, without any, the peak) last stepped to, from 0.
  const std::optional<std::size_t>& stepped() const { return stepped_; }
  // The multiplets (or, without any, the peaks) that the region holds, by number from 0.
  std::vector<std::size_t> shown() const;
  // Where multiplet (or peak) i stands on the axis.
  double position_of(std::size_t i) const;

  // Where the intake does not wait for its spectrum: once the last dataset's spectrum work
  // has finished, what it made is taken as the spectrum drawn (true); false while it is
  // still at work, or when there is none (a work of an earlier dataset, cancelled when the
  // next came, is never taken).
  bool take_spectrum();
  // Whether the last dataset's spectrum is still being worked out.
  bool working() const { return pending_.has_value(); }
  // Why the last dataset taken in has no spectrum, when it says.
  const std::string& spectrum_refusal() const { return spectrumRefusal_; }

  const common::FormMemory& memory() const { return memory_; }
  // The spectrum drawn for the dataset last taken in, and what was read off it.
  const std::optional<spectrum::Trace>& trace() const { return trace_; }
  const std::optional<processing::Spectrum>& spectrum() const { return spectrum_; }
  const std::vector<analysis::Multiplet>& multiplets() const { return analysis_.multiplets; }
  const analysis::Analysis& analysis() const { return analysis_; }
  // The report of the spectrum drawn, as report.txt holds it, and where each multiplet
  // stands in it; empty without one.
  const analysis::Report& report() const { return report_; }

  // The compound's protons, which the report's integrals then add up to (none: the unit
  // the integrals tell): the multiplets counted anew and report.txt written again;
  // remembered for the dataset's folder while the program runs, and so taken again when
  // it is taken in again. False when there is no 1H spectrum to count.
  bool set_protons(std::optional<int> protons);
  std::optional<int> protons() const;
  const std::vector<spectrum::Peak>& peaks() const { return peaks_; }

 private:
  // Keeps what a dataset's intake drew; one that was refused leaves the last one.
  std::optional<intake::IntakeResult> remember(std::optional<intake::IntakeResult> result);
  // Takes in a dataset: the spectrum work of the one before cancelled first.
  std::optional<intake::IntakeResult> take_in(const std::string& path);

  platform::Services& services_;
  intake::IntakeOptions intakeOptions_;
  common::FormMemory memory_;
  std::optional<spectrum::Trace> trace_;
  std::optional<processing::Spectrum> spectrum_;
  analysis::Analysis analysis_;
  analysis::Report report_;
  std::string datasetFolder_;             // the folder of the dataset drawn
  std::map<std::string, int> protonsOf_;  // given for a dataset's folder
  std::vector<spectrum::Peak> peaks_;
  std::optional<std::size_t> stepped_;  // the multiplet (or peak) last stepped to
  std::optional<Range> region_;
  std::optional<spectrum::Trace> regionTrace_;  // while the region is not the whole
  std::string spectrumRefusal_;
  std::optional<intake::IntakeResult> pending_;  // taken in, its spectrum still at work
  // Cancelled works not yet at their end: kept until then, so that none is waited for.
  std::vector<std::shared_ptr<intake::SpectrumWork>> retired_;
};

}  // namespace window
