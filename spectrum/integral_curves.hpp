// Each multiplet's integral as NMR programs draw it: a running sum over its points.
#pragma once

#include <utility>
#include <vector>

#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"

namespace spectrum {

struct IntegralCurve {
  // Along the multiplet's points from high shift to low: the axis value and the running
  // integral there, as a share of the largest multiplet's whole integral (0 to 1).
  std::vector<std::pair<double, double>> points;
  double at = 0;  // the multiplet's centre on the axis
  int protons = 0;
};

// The curves of the multiplets, each of at most mostPoints points.
std::vector<IntegralCurve> integral_curves(const processing::Spectrum& spectrum,
                                           const std::vector<analysis::Multiplet>& multiplets, std::size_t mostPoints);

}  // namespace spectrum
