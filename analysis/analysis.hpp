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
  // 1H: the compound's multiplets as fitted, before they were counted in whole protons.
  std::vector<Multiplet> measured;
};

// A singlet this many times wider than the spectrum's typical line is a broad one.
inline constexpr double kBroadLine = 3;

// For a 1H spectrum, its multiplets as an expert reads them: each stretch of signal (five
// standard deviations of the noise above its baseline) fitted by least squares as a sum of
// first-order trees of couplings on lines of their own width, TMS's and the solvent's
// lines among them, found in a resolution-enhanced copy and made the simplest that fits;
// named as journals name them ("m" where no tree fits, "br s" for a singlet kBroadLine
// times wider than the typical line); integrated by their fitted areas, in whole protons
// (see count_protons()): protons when given, their total. TMS, the solvent's lines, the
// water dissolved in it and impurities under a hundredth of all the integrals are left out.
// For other nuclei: every line that stands out of the noise, without TMS and the solvent's
// (see decoupled_lines()).
Analysis analyse(const processing::Spectrum& spectrum, std::optional<int> protons = std::nullopt);

// The same multiplets counted anew in whole protons, as analyse() with protons would count
// them (none given: the unit the integrals tell); lines and the rest as they were.
Analysis recounted(const processing::Spectrum& spectrum, Analysis analysis, std::optional<int> protons);

}  // namespace analysis
