// A crowded stretch of lines taken apart into multiplets: the tallest line's tree first,
// its lines' share taken away, then the next.
#pragma once

#include <span>
#include <vector>

#include "analysis/region_fit.hpp"
#include "analysis/tree_search.hpp"

namespace analysis {

// The multiplets that explain the lines (Hz, and their areas): again and again, of the trees about the tallest line not yet
// explained (a singlet, or centred between it and another line at least a fifth as tall),
// the one that explains most; its share taken from its lines. A line whose best tree is a
// singlet while lines of its height stand near is a loose line, part of an "m". Lines left
// below least are noise, or what the fit will share out. Each multiplet starts with the
// area its lines hold and lines of widthHz.
std::vector<ModelMultiplet> assemble(std::vector<FoundLine> lines, double least, double widthHz, const SearchLimits& limits);

}  // namespace analysis
