// A first-order multiplet as a tree of couplings: which lines it has, and what a chemist
// calls it.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace analysis {

// A coupling to count equivalent partners, each of spin 1/2: it splits every line into
// count + 1, in the binomial ratios.
struct CouplingGroup {
  double hz = 0;
  int count = 1;
  bool operator==(const CouplingGroup&) const = default;
};

// The lines a tree of couplings makes about its centre. Line k lies at
// sum over groups g of along[k][g] * J(g) from the centre (along from -count / 2 to
// count / 2), and holds share[k] of the multiplet (the shares sum to 1).
struct Sticks {
  std::vector<std::vector<double>> along;
  std::vector<double> share;
  std::size_t size() const { return share.size(); }
  double offset(std::size_t k, std::span<const CouplingGroup> groups) const;
};
Sticks sticks_of(std::span<const CouplingGroup> groups);

// The groups sorted by falling coupling, and what journals call them: a letter for each
// (d, t, q, p, sext, sept, oct for 1 to 7 partners; "m" beyond), "s" for none.
std::vector<CouplingGroup> largest_first(std::vector<CouplingGroup> groups);
std::string pattern_name(std::span<const CouplingGroup> groups);

// The couplings one by one, as many as each group counts: {7.0 x 6, 2.7} for a septd.
std::vector<double> each_coupling(std::span<const CouplingGroup> groups);

// Couplings within withinHz of each other joined into one group (their mean), as a
// chemist names nearly equal couplings; largest first.
std::vector<CouplingGroup> joined(std::span<const CouplingGroup> groups, double withinHz);

// Half the tree's whole width: the distance from its centre to its outer lines.
double half_extent(std::span<const CouplingGroup> groups);

}  // namespace analysis
