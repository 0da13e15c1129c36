// The simplest trees of couplings that fit a stretch within what a model can follow:
// alternatives for one multiplet or two (another tree; one taken apart into two; two
// fragments joined into one), each fitted to the spectrum with the rest held, judged by
// an F-test: the simplest, unless more parameters earn their place.
#pragma once

#include <span>
#include <vector>

#include "analysis/region_fit.hpp"
#include "analysis/tree_growth.hpp"
#include "analysis/tree_search.hpp"

namespace analysis {

// Each coupling a group of its own: the couplings a fit may move apart (4.5 and 4.0 Hz,
// seen as one "t" of 4.25 Hz among the lines).
std::vector<CouplingGroup> untied(std::span<const CouplingGroup> groups);

// The multiplet's own lines: the lines found about it, less the areas the model's other
// multiplets put on them (each line of theirs on the found line nearest it, within
// toleranceHz).
std::vector<FoundLine> own_lines(std::span<const FoundLine> lines, const RegionModel& model, std::size_t which, double toleranceHz);

// What the search of a stretch's structures works with.
struct StructureSearch {
  const Stretch& stretch;
  std::span<const FoundLine> lines;  // the lines found in the stretch, whole
  SearchLimits limits;
  std::size_t candidates = 6;        // trees of a multiplet's lines fitted to it
  Growth growth;
};

// The model with each of its trees made the simplest that fits: first each multiplet (or
// loose line) lying within a larger one's lines joined to it when one tree fits them about
// as well; then, the largest first, each given the best of the trees its own lines make,
// also with equal couplings let apart, and then taken apart into the trees its lines make
// at half the tolerance where those fit better.
Fitted simplest_structures(const StructureSearch& search, Fitted fitted);

}  // namespace analysis
