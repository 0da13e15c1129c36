// The spectrum heard: an audio graph that sweeps along the drawn axis while its pitch and
// loudness follow the trace, with clicks at the axis's ticks.
#pragma once

#include <cstdint>
#include <vector>

#include "spectrum/trace.hpp"

namespace spectrum {

inline constexpr int kGraphRate = 44100;        // samples a second
inline constexpr double kGraphSeconds = 10.0;   // the whole axis at "x 1"
inline constexpr double kLowestPitch = 220.0;   // Hz, at the baseline
inline constexpr double kHighestPitch = 1760.0; // Hz, at the tallest peak
inline constexpr double kQuietest = 0.08;       // of full scale, at the baseline
inline constexpr double kLoudest = 0.6;         // at the tallest peak
inline constexpr double kClickSeconds = 0.004;  // a click: 4 ms of 3 kHz, bell-shaped
inline constexpr double kClickPitch = 3000.0;
inline constexpr double kClickLoudness = 0.3;
inline constexpr double kDoubleClickGap = 0.06; // the second click at 0 ppm, 60 ms on (or before, at the end)
inline constexpr double kFadeSeconds = 0.01;    // in and out, so the sound starts and ends softly
inline constexpr double kGlideSeconds = 0.003;  // from one column's height to the next

// When, in a graph lasting seconds, the sweep passes an axis value: column i's centre at
// (i + 0.5) / columns of the way.
double time_of(const Trace& trace, double value, double seconds);
// The axis value the sweep is at, at a time of a graph lasting seconds.
double value_at(const Trace& trace, double time, double seconds);

// The samples of the graph lasting seconds, from `from` to `to` seconds into it, a block
// at a time:
// - the height h of the trace (each column's highest point, 0 at the plot's bottom, 1 at
//   its tallest peak), held across each column's time and gliding into the next over
//   3 ms (a column lasts 13.7 ms at "x 1"), so that a line one column wide is heard;
// - a tone whose pitch is 220 * 8^h Hz (three octaves, 220 to 1760 Hz) and whose
//   loudness is 0.08 + 0.52 * h of full scale, its phase carried on from sample to sample;
// - a click at each labelled tick of the axis, two (60 ms apart) at 0 ppm (unless told not
//   to: a multiplet's sweep of a second has its rises of pitch alone);
// - the tone faded in and out over 10 ms at both ends of what is made, the clicks not.
class AudioGraph {
 public:
  AudioGraph(const Trace& trace, double seconds, double from, double to, bool clicks = true);
  std::int64_t samples() const { return count_; }
  // The next samples into out, at most n of them; how many (0 at the end).
  std::size_t next(std::int16_t* out, std::size_t n);

 private:
  std::vector<double> heights_;
  std::vector<double> clicks_;
  double columnsPerSecond_ = 0;
  double glide_ = 0;  // in columns
  std::int64_t first_ = 0, count_ = 0, made_ = 0;
  double phase_ = 0;
};

}  // namespace spectrum
