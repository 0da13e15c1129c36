// The spectrum's peaks read out: where the tallest lie and how tall they are.
#pragma once

#include <string>
#include <vector>

#include "spectrum/trace.hpp"

namespace spectrum {

struct Peak {
  double at = 0;       // ppm, or Hz when the axis is in Hz
  double percent = 0;  // of the tallest peak's height
};

inline constexpr double kLeastPeakPercent = 5;
inline constexpr std::size_t kMostPeaks = 20;

// The trace's local maxima (columns higher than the one before and no lower than the one
// after) of at least 5 % of its tallest, the 20 tallest of them, from left to right; each
// where its highest point lies.
std::vector<Peak> peaks_of(const Trace& trace);

// "7.26 ppm, 100 %": two decimals for ppm, one for Hz; the height rounded.
std::string peak_text(const Peak& peak, Axis axis);
// peaks.txt: "7.26 ppm 100 %" a line.
std::string peaks_file(const std::vector<Peak>& peaks, Axis axis);

}  // namespace spectrum
