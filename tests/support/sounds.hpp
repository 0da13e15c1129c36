// What a sound made by the program sounds like, measured from its samples.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// The 16-bit samples of a WAVE file as the program writes it (see wave_samples).
std::vector<std::int16_t> samples_of_wave(const std::string& wav);

// The pitch over windows of window seconds, a window every step seconds, from its zero
// crossings: (the window's centre in seconds, Hz).
std::vector<std::pair<double, double>> pitch_track(const std::vector<std::int16_t>& samples, int rate, double window,
                                                   double step);

// The times of the track's maxima: each the highest point of a stretch that rises above
// `rise` Hz and ends when it falls below `fall` (lower: the estimate jitters).
std::vector<double> pitch_maxima(const std::vector<std::pair<double, double>>& track, double rise, double fall);

// The times at which the lines of a spectrum.wav swept from `high` to `low` in 10 s rise
// to their pitch, leaving out the axis's clicks: the lines must lie off the whole tenths
// of the axis's unit, where its ticks may stand.
std::vector<double> lines_heard(const std::vector<std::int16_t>& graph, double high, double low);

}  // namespace testsupport
