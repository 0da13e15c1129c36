// The status line's words: what plays and how far, what failed and why, how to start.
#pragma once

#include <string>

#include "platform/media.hpp"
#include "spectrum/trace.hpp"
#include "window/form.hpp"

namespace window {

// Before anything plays.
inline constexpr const char* kIdleStatus = "Drop a dataset's fid on the large button, or press Ctrl+O";

// "Playing demo/1/fid: 0:01.2 of 0:03.9", and in the window with " \u2014 Esc stops".
std::string progress_text(const std::string& what, const platform::Playback& playback);
std::string playing_status(const std::string& what, const platform::Playback& playback);

// What a sound of this request is called in the status line: "the tones", or the last
// three parts of the dataset's path ("aspirin-1h/1/fid").
std::string sound_name(const std::string& fidPath, bool tones);

// Seconds as "m:ss.t" (0:01.2; 12:05.0), tenths cut, not rounded.
std::string clock_text(double seconds);

// A new dataset's name with its title's first line (the caption's second line), as its
// sound is announced: "ethanol/1/fid (Ethanol in CDCl3)"; the name alone without a title.
std::string named_with_title(const std::string& name, const std::string& caption);

// "Hearing the spectrum: 7.3 ppm", where the sweep is, and in the window with
// " — Esc stops".
std::string hearing_text(double at, spectrum::Axis axis);
std::string hearing_status(double at, spectrum::Axis axis);

// "Peak 3 of 12: 7.26 ppm, 100 %".
std::string peak_status(const PeakStep& step);
// "Multiplet 2 of 6: 7.60 ppm, td, J = 7.8, 1.7 Hz, 1H"; "Multiplet 3 of 6: 7.40 – 7.28
// ppm, m, 5H".
std::string multiplet_status(const MultipletStep& step);
// Either, as the step is.
std::string step_status(const Step& step);

// What the spectrum view shows, as a screen reader reads it: "Spectrum of strychnine, 8.20
// to 6.80 ppm, 4 multiplets; multiplet 2: 7.24 ppm, td, 1H" (the last part while the
// multiplet or peak last stepped to is shown).
inline constexpr const char* kNoSpectrumDescription = "No spectrum: take a dataset in to see it here";
std::string view_description(const Form& form);

}  // namespace window
