// The spectrum's peaks read out.
#include "spectrum/peaks.hpp"

#include <algorithm>
#include <cmath>

#include "platform/text.hpp"

namespace spectrum {
namespace {

std::string position_text(const Peak& peak, Axis axis) {
  return axis == Axis::Ppm ? platform::fixed_text(peak.at, 2) + " ppm" : platform::fixed_text(peak.at, 1) + " Hz";
}

std::string percent_text(const Peak& peak) { return std::to_string(std::lround(peak.percent)) + " %"; }

}  // namespace

std::vector<Peak> peaks_of(const Trace& trace) {
  const auto& c = trace.columns;
  double tallest = 0;
  for (const auto& column : c) tallest = std::max(tallest, column.high);
  std::vector<std::pair<std::size_t, double>> maxima;  // column, height
  if (!(tallest > 0)) return {};
  for (std::size_t i = 0; i < c.size(); ++i) {
    const bool rises = i == 0 || c[i].high > c[i - 1].high;
    const bool falls = i + 1 == c.size() || c[i].high >= c[i + 1].high;
    if (rises && falls && c[i].high >= tallest * kLeastPeakPercent / 100) maxima.emplace_back(i, c[i].high);
  }
  std::stable_sort(maxima.begin(), maxima.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  if (maxima.size() > kMostPeaks) maxima.resize(kMostPeaks);
  std::sort(maxima.begin(), maxima.end());
  std::vector<Peak> peaks;
  for (const auto& [i, height] : maxima) peaks.push_back({c[i].at, 100 * height / tallest});
  return peaks;
}

std::string peak_text(const Peak& peak, Axis axis) { return position_text(peak, axis) + ", " + percent_text(peak); }

std::string peaks_file(const std::vector<Peak>& peaks, Axis axis) {
  std::string text;
  for (const Peak& p : peaks) text += position_text(p, axis) + " " + percent_text(p) + "\n";
  return text;
}

}  // namespace spectrum
