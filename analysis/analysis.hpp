// What a chemist reads off a spectrum: its multiplets (1H), or its lines (other nuclei).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "processing/spectrum.hpp"

namespace analysis {

struct Multiplet {
  double shift = 0;              // its centre on the axis (ppm, or Hz without one)
  double high = 0, low = 0;      // its first and last lines on the axis, high > low
  std::size_t from = 0, to = 0;  // its points in the spectrum, [from, to)
  std::string pattern;           // "s", "br s", "d", "dd", "td", ...; "m" when none fits
  std::vector<double> couplings; // J in Hz, one for each letter of the pattern, largest first
  double integral = 0;           // intensity times Hz
  int protons = 0;               // its integral in whole protons
  double tallest = 0;            // its tallest line's height
};

struct Analysis {
  std::vector<Multiplet> multiplets;  // 1H: from high shift to low; none for other nuclei
  std::vector<double> lines;          // other nuclei: their lines' shifts, high to low
  double noise = 0;                   // the standard deviation of the signal-free points
};

// A singlet this many times wider than the spectrum's typical line is a broad one.
inline constexpr double kBroadLine = 3;

// For a 1H spectrum: the stretches above its noise (spectrum.noise) that stand above
// it (five standard deviations, and a five-hundredth of the tallest point); their lines
// at full resolution (maxima standing out by five standard deviations and a thirtieth of
// the stretch's tallest, placed by a parabola); stretches whose lines lie within the
// largest coupling of each other taken as one multiplet when together they make a
// first-order pattern; each named (first_order_pattern; "s", or "br s" for a singlet
// kBroadLine times wider than the typical line); integrated over its stretch and a margin
// of five half widths; TMS (a singlet within 0.02 ppm of 0), the solvent's residual line
// (a singlet, or a quintet no wider than 20 Hz, within 0.05 ppm of its shift) and the
// water dissolved in it (a singlet within 0.15 ppm of its place) left out, as are multiplets of under half a proton; the
// integrals in whole protons: protons when given (their total), else the smallest count
// for the smallest sharp multiplet that makes the sharp ones' integrals nearly whole
// (0.15 protons off, root mean square), else the smallest as one proton. A multiplet whose
// lines fit no pattern is tried again on its main lines (0.3 of its tallest or more).
// For other nuclei: the shifts of the lines that stand out, without TMS and the solvent's.
Analysis analyse(const processing::Spectrum& spectrum, std::optional<int> protons = std::nullopt);

}  // namespace analysis
