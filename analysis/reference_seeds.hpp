// TMS's line and the solvent's residual line in a stretch of a 1H spectrum: fitted with the
// rest, reported with none, so that a multiplet beside or under them keeps its own lines.
#pragma once

#include <vector>

#include "analysis/region_fit.hpp"
#include "analysis/stretches.hpp"
#include "analysis/tree_search.hpp"
#include "processing/spectrum.hpp"

namespace analysis {

// Where TMS's singlet (at 0.00) or the residual line of the spectrum's solvent (at its
// tabulated shift) lies within the stretch, found by its pattern as the referencing finds
// it (within 0.03 ppm of its place): its lines as reference lines of the model, their
// share taken from the lines found there (the nearest within toleranceHz of each). None
// where neither lies in the stretch.
std::vector<ModelMultiplet> seed_references(const processing::Spectrum& spectrum, Span stretch, std::vector<FoundLine>& lines,
                                            double widthHz, double toleranceHz, double noise);

}  // namespace analysis
