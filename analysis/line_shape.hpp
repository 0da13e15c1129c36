// The shape of one line: a pseudo-Voigt profile, a Lorentzian and a Gaussian of the same
// full width at half height in the share lorentzian : 1 - lorentzian, with unit area; and
// the Lorentzian's dispersion, which a phase a little off adds (phase times it, for the
// small phases that automatic phasing leaves).
#pragma once

#include <cmath>

namespace analysis {

// A share this near 1 is a Lorentzian: the Gaussian's sliver is not worth its exponential.
inline constexpr double kAllLorentzian = 0.995;
// Beyond this many widths from its top a Gaussian is below 1e-40 of its height: its
// exponential is not worth working out either.
inline constexpr double kGaussianReachWidths = 5.8;

struct LineValue {
  double value = 0;    // at x from the line's top
  double byX = 0;      // its derivative along x (minus its derivative along the top's place)
  double byWidth = 0;  // along the full width
  double byShare = 0;  // along the Lorentzian's share
  double byPhase = 0;  // along the phase
};

// The profile of full width `width` at x from its top, with its derivatives.
inline LineValue line_at(double x, double width, double lorentzian, double phase = 0) {
  constexpr double kLn2 = 0.69314718055994530942;
  const double u = 2 * x / width;
  const double d = 1 / (1 + u * u);
  const double k = 2 / (M_PI * width);
  const double l = k * d;
  const double dispersion = k * u * d;
  LineValue v;
  v.value = lorentzian * (l + phase * dispersion);
  v.byX = lorentzian * (-8 * u / (M_PI * width * width) * d * d + phase * 4 * (1 - u * u) * d * d / (M_PI * width * width));
  v.byWidth = lorentzian * (2 / (M_PI * width * width) * (u * u - 1) * d * d - phase * 2 * k * u * d * d / width);
  v.byShare = l + phase * dispersion;
  v.byPhase = lorentzian * dispersion;
  const double w = x / width;
  if (lorentzian < kAllLorentzian && std::fabs(w) < kGaussianReachWidths) {
    const double g = 2 / width * std::sqrt(kLn2 / M_PI) * std::exp(-4 * kLn2 * w * w);
    const double gaussian = 1 - lorentzian;
    v.value += gaussian * g;
    v.byX += gaussian * g * (-8 * kLn2 * w / width);
    v.byWidth += gaussian * g / width * (8 * kLn2 * w * w - 1);
    v.byShare -= g;
  }
  return v;
}

// The height of the profile's top, for unit area.
inline double top_of(double width, double lorentzian) {
  constexpr double kLn2 = 0.69314718055994530942;
  return lorentzian * 2 / (M_PI * width) + (1 - lorentzian) * 2 / width * std::sqrt(kLn2 / M_PI);
}

}  // namespace analysis
