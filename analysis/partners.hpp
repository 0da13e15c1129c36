// Couplings come in pairs: a proton split by another splits it by as much. A methyl's
// pattern whose coupling no other multiplet shares, and larger than a methyl's, is two
// methyls' lines side by side.
#pragma once

#include <vector>

#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"

namespace analysis {

// Each doublet or dd of three protons or more (in whole protons counted) split in two along
// its largest coupling that no other multiplet holds (within half a hertz) and that is
// larger than a methyl's protons have with their neighbours (8.5 Hz): two singlets, or
// two doublets, each half of its integral. Returns whether any was split.
bool partnerless_split(std::vector<Multiplet>& multiplets, const processing::Spectrum& spectrum);

}  // namespace analysis
