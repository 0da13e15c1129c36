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
    std::vector<double> centres = {top->hz};
    for (const FoundLine& l : lines) {
      if (&l != &*top && l.amount >= kLeastPartner * height && std::fabs(l.hz - top->hz) <= limits.widestHz) {
        centres.push_back((l.hz + top->hz) / 2);
      }
    }
    // Of trees explaining about as much, the narrowest: two doublets side by side rather
    // than one inside the other, whose centres would coincide.
    std::optional<TreeMatch> best;
    const auto better = [](const TreeMatch& a, const TreeMatch& b) {
      if (worth(a) > worth(b) / kAboutAsMuch) return true;
      if (worth(a) < kAboutAsMuch * worth(b)) return false;
      return half_extent(a.groups) < half_extent(b.groups);
    };
    for (const double c : centres) {
      for (TreeMatch& m : trees_about(lines, c, limits)) {
        if (m.predicted[t] < kLeastExplained * height) continue;
        if (!best || better(m, *best)) best = std::move(m);
        break;  // the best about this centre that holds the line
      }
    }
    const bool crowded = std::any_of(lines.begin(), lines.end(), [&](const FoundLine& l) {
      return &l != &*top && l.amount >= kCrowdShare * height && std::fabs(l.hz - top->hz) <= kCrowdHz;
    });
    ModelMultiplet m;
    m.widthHz = widthHz;
    if (!best || (best->groups.empty() && crowded)) {
      m.loose = true;
      m.centreHz = top->hz;
      m.area = height;
      top->amount = 0;
    } else {
      m.centreHz = best->centreHz;
      m.groups = best->groups;
      m.area = best->unit;
      // What a tree leaves of its lines is theirs too (lines lean toward their partners'
      // multiplets, as second order has them), unless much is left: another multiplet's line.
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (best->predicted[i] == 0) continue;
        const double left = lines[i].amount - best->predicted[i];
        lines[i].amount = left < kOthersShare * lines[i].amount ? 0 : left;
      }
      top->amount = std::min(top->amount, (1 - kLeastExplained) * height);  // never the same line again and again
    }
    found.push_back(std::move(m));
  }
  return found;
}

}  // namespace analysis
