// A spectrum with narrower lines, for finding lines that overlap: Lorentz-to-Gauss
// resolution enhancement of its points.
#pragma once

#include <span>
#include <vector>

#include "processing/spectrum.hpp"

namespace analysis {

// The spectrum's points with each Lorentzian line of full width widthHz narrowed: the
// points taken back to the time domain (the inverse transform of the real spectrum, which
// holds its FID at positive and negative times), multiplied by exp(pi a |t|), which takes
// away a Lorentzian of width a = 0.7 widthHz, and by the Gaussian that makes up for it
// (full width 0.6 widthHz), and transformed again. Lines keep their places and their
// areas; what was 1.0 wide is about 0.7 wide, and couplings about as large as the width
// show as separate lines. Empty when the transform cannot be made.
processing::Intensities enhanced(const processing::Spectrum& spectrum, double widthHz);

// A line of the enhanced spectrum: where its top lies (between points) and its area, the
// sum of its basin (the points down to the lowest ones between it and its neighbours,
// above 0). Lines that merge into one top count as one, with both areas.
struct EnhancedLine {
  double index = 0;
  double area = 0;
  double width = 0;  // its full width at half height, in points
};
std::vector<EnhancedLine> enhanced_lines(std::span<const double> enhanced, std::size_t from, std::size_t to, double least);

// The standard deviation of noise in points that are mostly baseline: from their median
// absolute value, which the few points of lines hardly move.
double baseline_noise(const processing::Intensities& points);

}  // namespace analysis
