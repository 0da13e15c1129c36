// What a sound made by the program sounds like.
#include "tests/support/sounds.hpp"

#include <cmath>

#include "tests/support/files.hpp"

namespace testsupport {

std::vector<std::int16_t> samples_of_wave(const std::string& wav) {
  const std::string pcm = wave_samples(wav);
  std::vector<std::int16_t> v(pcm.size() / 2);
  for (std::size_t i = 0; i < v.size(); ++i) {
    v[i] = static_cast<std::int16_t>(static_cast<unsigned char>(pcm[2 * i]) | static_cast<unsigned char>(pcm[2 * i + 1]) << 8);
  }
  return v;
}

std::vector<std::pair<double, double>> pitch_track(const std::vector<std::int16_t>& samples, int rate, double window,
                                                   double step) {
  const auto width = static_cast<std::size_t>(window * rate), by = std::max<std::size_t>(1, static_cast<std::size_t>(step * rate));
  std::vector<std::pair<double, double>> track;
  for (std::size_t start = 0; start + width <= samples.size(); start += by) {
    int crossings = 0;
    for (std::size_t k = start + 1; k < start + width; ++k) crossings += (samples[k - 1] < 0) != (samples[k] < 0);
    track.emplace_back((static_cast<double>(start) + static_cast<double>(width) / 2) / rate, crossings / 2.0 / window);
  }
  return track;
}

std::vector<double> pitch_maxima(const std::vector<std::pair<double, double>>& track, double rise, double fall) {
  std::vector<double> maxima;
  std::pair<double, double> best{0, 0};
  bool above = false;
  for (const auto& [at, pitch] : track) {
    if (above ? pitch >= fall : pitch > rise) {
      if (!above || pitch > best.second) best = {at, pitch};
      above = true;
    } else if (above) {
      maxima.push_back(best.first);
      above = false;
    }
  }
  if (above) maxima.push_back(best.first);
  return maxima;
}

std::vector<double> lines_heard(const std::vector<std::int16_t>& graph, double high, double low) {
  std::vector<double> lines;
  for (const double at : pitch_maxima(pitch_track(graph, 44100, 0.006, 0.001), 220 * std::pow(8, 0.5), 220 * std::pow(8, 0.3))) {
    const double value = high - at / 10 * (high - low);
    const double fromTick = std::fabs(value - std::round(value * 10) / 10) / (high - low) * 10;  // in seconds
    if (fromTick > 0.015) lines.push_back(at);
  }
  return lines;
}

}  // namespace testsupport
