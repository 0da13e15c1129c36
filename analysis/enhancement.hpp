// A stretch of a spectrum with narrower lines, for finding lines that overlap:
// Lorentz-to-Gauss resolution enhancement.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "processing/spectrum.hpp"

namespace analysis {

// The enhancement of lines of full width widthHz: the points taken back to the time domain
// (the inverse transform of the real points, which holds their FID at positive and
// negative times), multiplied by exp(pi a |t|), which takes away a Lorentzian of width
// a = 0.9 widthHz, and by the Gaussian that makes up for it (full width 0.35 widthHz), and
// transformed again. Lines keep their places and their areas; what was 1.0 wide is about
// 0.4 wide, and couplings smaller than the width show as separate lines.
class Enhancement {
 public:
  Enhancement(double widthHz, double hzPerPoint);

  // The spectrum's points [from, to) enhanced: the stretch transformed on its own, with a
  // margin of as many points again either side (the wings of lines beyond it hardly
  // reach in). Empty when the transform cannot be made.
  std::vector<double> of(const processing::Spectrum& spectrum, std::size_t from, std::size_t to) const;

  // The noise of the spectrum's enhanced points: the standard deviation of its quietest
  // stretch (a thirty-second of it, at most 1024 points), enhanced. Measured, not worked out:
  // the noise of a spectrum is no longer white once its FID was apodized.
  double noise_of(const processing::Spectrum& spectrum) const;
  // The full width at half height of an enhanced line that was widthHz wide.
  double width_hz() const { return widthHz_; }

 private:
  double window(double t) const;  // at a time of the FID
  double lorentzian_ = 0, gaussian_ = 0, hzPerPoint_ = 1, widthHz_ = 1;
};

// A line of the enhanced points: where its top lies (between points) and its area, the
// sum of its basin (the points down to the lowest ones between it and its neighbours,
// above 0). Lines that merge into one top count as one, with both areas.
struct EnhancedLine {
  double index = 0;
  double area = 0;
  double width = 0;  // its full width at half height, in points
};
std::vector<EnhancedLine> enhanced_lines(std::span<const double> enhanced, double least);

}  // namespace analysis
