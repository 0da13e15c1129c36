// Integrals in whole protons.
#pragma once

#include <optional>
#include <vector>

#include "analysis/analysis.hpp"

namespace analysis {

// Sets each multiplet's protons from its integral: protons given, their total; else the
// largest unit that makes the sharp ones' (no "br s") integrals whole (0.1 off, root mean
// square weighted by integral), one of them holding 1 to 8, 4 at most on average; else the
// one that makes them most nearly whole with the fewest protons. Pieces of less than half
// a proton whose points overlap are joined as one "m".
void count_protons(std::vector<Multiplet>& multiplets, std::optional<int> protons);

}  // namespace analysis
