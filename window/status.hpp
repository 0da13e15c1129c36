// The status line's words: what plays and how far, what failed and why, how to start.
#pragma once

#include <string>

#include "platform/media.hpp"

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

}  // namespace window
