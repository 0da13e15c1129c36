// The lines of a spectrum of a decoupled nucleus (13C, 19F, 31P): every line that stands
// out of the noise, but the solvent's and TMS's.
#pragma once

#include <vector>

#include "processing/spectrum.hpp"

namespace analysis {

// The spectrum's lines, by falling shift: each top standing 5 standard
// deviations of the noise above the points around it (other than 13C, 1% of the tallest too), no narrower than half the typical
// line (a spike of noise is narrower); for 13C, without the lines of the solvent's
// multiplet (its coupling to deuterium, 1:1:1 or 1:3:6:7:6:3:1, found by its pattern within
// 2 ppm of its place), of its other carbons (within 0.1 ppm of their places) and TMS's
// (within 0.1 ppm of 0).
std::vector<double> decoupled_lines(const processing::Spectrum& spectrum);

}  // namespace analysis
