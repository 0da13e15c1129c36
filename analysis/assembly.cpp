// A crowded stretch of lines taken apart into multiplets.
#include "analysis/assembly.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace analysis {
namespace {

constexpr double kLeastPartner = 0.2;     // of the tallest line: a line that may mirror it
constexpr double kLeastExplained = 0.4;   // of the tallest line: what its tree must explain of it
constexpr double kAboutAsMuch = 0.95;     // trees that explain this much of the best's are as good
constexpr double kOthersShare = 0.5;      // of a line: what another multiplet's line must hold of it
constexpr double kLeastLeft = 0.02;       // of the tallest line of all: lines below it are done
constexpr double kCrowdHz = 20;           // a lone singlet's neighbours this near make it part of an "m"
constexpr double kCrowdShare = 0.3;       // of its height
constexpr std::size_t kMostMultiplets = 64;

bool better(const TreeMatch& a, const TreeMatch& b) {
  if (worth(a) > worth(b) / kAboutAsMuch) return true;
  if (worth(a) < kAboutAsMuch * worth(b)) return false;
  return half_extent(a.groups) < half_extent(b.groups);
}

// The tree as a multiplet of the model, its share taken from its lines.
void take(const TreeMatch& tree, double widthHz, std::vector<FoundLine>& lines, std::vector<ModelMultiplet>& found) {
  ModelMultiplet m;
  m.widthHz = widthHz;
  m.centreHz = tree.centreHz;
  m.groups = tree.groups;
  m.area = tree.unit;
  // What a tree leaves of its lines is theirs too (lines lean toward their partners'
  // multiplets, as second order has them), unless much is left: another multiplet's line.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (tree.predicted[i] == 0) continue;
    const double left = lines[i].amount - tree.predicted[i];
    lines[i].amount = left < kOthersShare * lines[i].amount ? 0 : left;
  }
  found.push_back(std::move(m));
}

// Of the trees about the line and each line at least a fifth as tall within the widest
// multiplet's reach, the one that explains most and holds at least part of the line.
std::optional<TreeMatch> best_tree_holding(const std::vector<FoundLine>& lines, std::size_t t, const SearchLimits& limits) {
  const FoundLine& line = lines[t];
  std::vector<double> centres = {line.hz};
  for (const FoundLine& l : lines) {
    if (&l != &line && l.amount >= kLeastPartner * line.amount && std::fabs(l.hz - line.hz) <= limits.widestHz) {
      centres.push_back((l.hz + line.hz) / 2);
    }
  }
  // Of trees explaining about as much, the narrowest: two doublets side by side rather
  // than one inside the other, whose centres would coincide.
  std::optional<TreeMatch> best;
  for (const double c : centres) {
    for (TreeMatch& m : trees_about(lines, c, limits)) {
      if (m.predicted[t] < kLeastExplained * line.amount) continue;
      if (!best || better(m, *best)) best = std::move(m);
      break;  // the best about this centre that holds the line
    }
  }
  return best;
}

}  // namespace

std::vector<ModelMultiplet> assemble(std::vector<FoundLine> lines, double least, double widthHz, const SearchLimits& limits) {
  std::vector<ModelMultiplet> found;
  double tallest = 0;
  for (const FoundLine& l : lines) tallest = std::max(tallest, l.amount);
  while (found.size() < kMostMultiplets) {
    const auto top = std::max_element(lines.begin(), lines.end(), [](const FoundLine& a, const FoundLine& b) { return a.amount < b.amount; });
    if (top == lines.end() || top->amount < std::max(least, kLeastLeft * tallest)) break;
    const auto t = static_cast<std::size_t>(top - lines.begin());
    const double height = top->amount;
    std::optional<TreeMatch> best = best_tree_holding(lines, t, limits);
    // A line of the tree that another tree explains better is that tree's: a tall line
    // of its own does not take the lines of a multiplet beside it.
    if (best) {
      std::optional<TreeMatch> theirs;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == t || best->predicted[i] == 0) continue;
        std::optional<TreeMatch> other = best_tree_holding(lines, i, limits);
        if (other && other->predicted[t] == 0 && worth(*other) > worth(*best) / kAboutAsMuch && (!theirs || better(*other, *theirs))) {
          theirs = std::move(other);
        }
      }
      if (theirs) {
        take(*theirs, widthHz, lines, found);
        continue;
      }
    }
    const bool crowded = std::any_of(lines.begin(), lines.end(), [&](const FoundLine& l) {
      return &l != &*top && l.amount >= kCrowdShare * height && std::fabs(l.hz - top->hz) <= kCrowdHz;
    });
    if (!best || (best->groups.empty() && crowded)) {
      ModelMultiplet m;
      m.widthHz = widthHz;
      m.loose = true;
      m.centreHz = top->hz;
      m.area = height;
      top->amount = 0;
      found.push_back(std::move(m));
    } else {
      take(*best, widthHz, lines, found);
      top->amount = std::min(top->amount, (1 - kLeastExplained) * height);  // never the same line again and again
    }
  }
  return found;
}

}  // namespace analysis
