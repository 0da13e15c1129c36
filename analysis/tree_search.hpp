// Which tree of couplings a set of lines about a centre makes: the search a chemist does by
// hand, from a multiplet's outer line inwards.
#pragma once

#include <span>
#include <vector>

#include "analysis/coupling_tree.hpp"

namespace analysis {

// A line found in the spectrum: where it lies (Hz) and how much of it is not yet
// explained (its area in the resolution-enhanced spectrum).
struct FoundLine {
  double hz = 0;
  double amount = 0;
  bool underReference = false;  // TMS's or the solvent's: what else it holds is unknown
};

// A tree that explains lines about a centre.
struct TreeMatch {
  double centreHz = 0;
  std::vector<CouplingGroup> groups;  // largest first
  double unit = 0;                    // the amount of a line that holds the whole multiplet
  std::vector<double> predicted;      // the amount it gives each line (0 for lines it misses)
  double explained = 0;               // of the lines' amounts, what it accounts for
  double excess = 0;                  // what it puts where the lines hold less
  double misfit = 1;                  // of its lines' amounts, 0 (none) to 1
};

// What all the searches of one spectrum may cost together, in steps (a set of couplings
// tried, a line placed): a crowded or garbled spectrum ends in bounded time, its lines
// left to "m" once it is spent.
struct SearchBudget {
  std::size_t stepsLeft = 0;
  // Takes n steps; false (and none taken) when fewer are left.
  bool take(std::size_t n) {
    if (n > stepsLeft) return false;
    stepsLeft -= n;
    return true;
  }
};

struct SearchLimits {
  double toleranceHz = 0.35;  // how far a line may lie from where the tree puts it
  double widestHz = 80;       // the widest multiplet looked for
  double smallestHz = 0.6;    // the smallest coupling believed
  double largestHz = 20;      // and the largest (a geminal or trans coupling)
  int mostCouplings = 8;      // couplings in all (a septet of doublets has seven)
  SearchBudget* budget = nullptr;  // none: the searches are bounded by the numbers above alone
};

// The trees whose lines about centreHz all fall on lines (within the tolerance, two that
// fall on one line merging), their outer lines one of the outermost pairs of lines that
// mirror each other about the centre; each with what it explains of the lines' amounts
// (scaled by least squares, each line's share the binomial share of the lines it holds).
// The best by what it explains, less twice its excess; of those explaining about as
// much, the one of the fewest couplings. Nothing when no tree's lines fall on lines.
std::vector<TreeMatch> trees_about(std::span<const FoundLine> lines, double centreHz, const SearchLimits& limits);

// What a match is worth: what it explains, less twice what it puts where nothing is.
inline double worth(const TreeMatch& m) { return m.explained - 2 * m.excess; }

}  // namespace analysis
