// The status line's words.
#include "window/status.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/text.hpp"
#include "analysis/report.hpp"

namespace window {

std::string clock_text(double seconds) {
  const long tenths = std::isfinite(seconds) && seconds > 0 ? static_cast<long>(seconds * 10) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

std::string progress_text(const std::string& what, const platform::Playback& playback) {
  return "Playing " + what + ": " + clock_text(playback.played) + " of " + clock_text(playback.length);
}

std::string playing_status(const std::string& what, const platform::Playback& playback) {
  return progress_text(what, playback) + " \u2014 Esc stops";
}

std::string named_with_title(const std::string& name, const std::string& caption) {
  const std::size_t start = caption.find('\r');
  if (start == std::string::npos) return name;
  const std::string title = caption.substr(start + 1, caption.find_first_of("\r\n", start + 1) - start - 1);
  return title.empty() ? name : name + " (" + title + ")";
}

std::string hearing_text(double at, spectrum::Axis axis) {
  const bool ppm = axis == spectrum::Axis::Ppm;
  return "Hearing the spectrum: " + platform::fixed_text(at, ppm ? 1 : 0) + (ppm ? " ppm" : " Hz");
}

std::string hearing_status(double at, spectrum::Axis axis) { return hearing_text(at, axis) + " \u2014 Esc stops"; }

std::string peak_status(const PeakStep& step) {
  return "Peak " + std::to_string(step.number) + " of " + std::to_string(step.count) + ": " +
         spectrum::peak_text(step.peak, step.axis);
}

std::string multiplet_status(const MultipletStep& step) {
  const analysis::Multiplet& m = step.multiplet;
  const std::string couplings = analysis::couplings_text(m);
  return "Multiplet " + std::to_string(step.number) + " of " + std::to_string(step.count) + ": " +
         analysis::shift_text(m) + " ppm, " + m.pattern + (couplings.empty() ? "" : ", " + couplings) + ", " +
         std::to_string(m.protons) + "H";
}

std::string step_status(const Step& step) {
  if (const auto* peak = std::get_if<PeakStep>(&step)) return peak_status(*peak);
  return multiplet_status(std::get<MultipletStep>(step));
}

std::string view_description(const Form& form) {
  const auto& region = form.region();
  if (!region || !form.spectrum()) return kNoSpectrumDescription;
  const processing::Spectrum& s = *form.spectrum();
  const int decimals = s.in_ppm() ? 2 : 1;
  std::string text = "Spectrum" + (s.title.empty() ? "" : " of " + s.title) + ", " +
                     platform::fixed_text(region->left, decimals) + " to " + platform::fixed_text(region->right, decimals) +
                     (s.in_ppm() ? " ppm" : " Hz");
  // The multiplets shown, or the peaks of a spectrum without any.
  const bool multiplets = !form.multiplets().empty();
  const std::vector<std::size_t> shown = form.shown();
  text += ", " + std::to_string(shown.size()) + (multiplets ? " multiplet" : " peak") + (shown.size() == 1 ? "" : "s");
  const auto& stepped = form.stepped();
  if (!stepped || !std::binary_search(shown.begin(), shown.end(), *stepped)) return text;
  if (!multiplets) {
    const spectrum::Axis axis = s.in_ppm() ? spectrum::Axis::Ppm : spectrum::Axis::Hz;
    return text + "; peak " + std::to_string(*stepped + 1) + ": " + spectrum::peak_text(form.peaks()[*stepped], axis);
  }
  const analysis::Multiplet& m = form.multiplets()[*stepped];
  return text + "; multiplet " + std::to_string(*stepped + 1) + ": " + analysis::shift_text(m) + (s.in_ppm() ? " ppm, " : " Hz, ") +
         m.pattern + ", " + std::to_string(m.protons) + "H";
}

std::string sound_name(const std::string& fidPath, bool tones) {
  if (tones) return "the tones";
  std::string name;
  std::size_t end = fidPath.size();
  for (int parts = 0; parts < 3 && end > 0;) {
    const std::size_t slash = fidPath.rfind('/', end - 1);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    if (begin < end) {
      name = fidPath.substr(begin, end - begin) + (name.empty() ? "" : "/" + name);
      ++parts;
    }
    if (slash == std::string::npos) break;
    end = slash;
  }
  return name.empty() ? "the scratch FID" : name;
}

}  // namespace window
