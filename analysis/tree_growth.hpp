// A multiplet's tree of couplings grown in the spectrum itself, one coupling at a time,
// as long as each earns its place: what the lines cannot tell (two couplings that merge
// their lines, a coupling under the lines' width), the points' shape can.
#pragma once

#include <cstddef>
#include <vector>

#include "analysis/region_fit.hpp"

namespace analysis {

struct Growth {
  double smallestHz = 0.6;   // the couplings tried
  double largestHz = 20;
  double stepHz = 0.25;       // the least-squares refinement finds the coupling between steps
  int mostCouplings = 8;
  int mostRounds = 3;        // couplings added to the tree it starts from
  double leastF = 10;        // the F statistic a coupling must reach: its chi-square saved
                             // against what the larger tree leaves per point
};

// From the multiplet's tree, with the model's other multiplets held: each round, every
// coupling from smallestHz to largestHz added (or one more partner for a coupling the tree
// has) is judged with the area scaled to fit, the best few refined by least squares with
// everything of the multiplet free, and the best kept if it saves enough chi-square (an
// F-test against the tree before). The model with the tree grown, fitted over local.
Fitted grown(const Stretch& local, const RegionModel& model, std::size_t which, const Growth& growth);

// Whether a fit of more parameters (its chi-square and parameters) saves enough against
// one of fewer over the same points: the F-test, and a tenth of the chi-square at least.
bool earns_its_parameters(double simpleChiSquare, std::size_t simpleParameters, double complexChiSquare,
                          std::size_t complexParameters, std::size_t points, double leastF);

}  // namespace analysis
