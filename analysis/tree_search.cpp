// Which tree of couplings a set of lines about a centre makes.
#include "analysis/tree_search.hpp"

#include <algorithm>
#include <cmath>
#include <optional>


namespace analysis {
namespace {

constexpr std::size_t kOuterTried = 4;       // of the outermost pairs, those tried as the outer lines
constexpr double kWeakestOuter = 0.01;       // of the strongest pair: an outer pair at least this strong
constexpr std::size_t kMostSets = 3000;
constexpr std::size_t kMostPlacedExponent = 20;  // a set's tree has 2^couplings lines to place      // sets of couplings tried for one pair of outer lines
constexpr double kAboutAsMuch = 0.95;        // a tree of fewer couplings explaining this much is preferred
constexpr double kSumTolerances = 2;         // how far the couplings' sum may lie off the width

// A line on either side of the centre at the same distance, or the line at the centre.
struct Mirror {
  double offset = 0;  // Hz from the centre, 0 for the central line
  std::size_t upper = 0, lower = 0;
};

std::optional<std::size_t> nearest(std::span<const FoundLine> lines, double hz, double tolerance) {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double d = std::fabs(lines[i].hz - hz);
    if (d <= tolerance && (!best || d < std::fabs(lines[*best].hz - hz))) best = i;
  }
  return best;
}

// Every multiset of the candidates (ascending), at most most of them, whose sum is width
// within sumTolerance and whose tree's lines all fall on lines: the distance of each from
// the outer line, a sum of some of the couplings, must be near one of depths (sorted).
// The lines a set's first couplings place are placed by every set that holds them, so a
// set whose line falls on none is not grown further.
struct SetSearch {
  const std::vector<double>& candidates;
  const std::vector<double>& depths;
  double width, tolerance, sumTolerance;
  std::size_t most;
  SearchBudget* budget;
  std::vector<std::vector<std::size_t>> sets;

  bool on_a_line(double depth) const {
    const auto it = std::lower_bound(depths.begin(), depths.end(), depth - tolerance);
    return it != depths.end() && *it <= depth + tolerance;
  }
  void grow(std::size_t from, std::vector<std::size_t>& chosen, std::vector<double>& placed, double sum) {
    if (sets.size() >= kMostSets || (budget && !budget->take(placed.size()))) return;
    if (!chosen.empty() && std::fabs(sum - width) <= sumTolerance) sets.push_back(chosen);
    if (chosen.size() == most) return;
    for (std::size_t i = from; i < candidates.size() && sum + candidates[i] <= width + sumTolerance; ++i) {
      const std::size_t before = placed.size();
      bool fits = true;
      for (std::size_t k = 0; k < before && fits; ++k) {
        const double depth = placed[k] + candidates[i];
        fits = on_a_line(depth);
        placed.push_back(depth);
      }
      if (fits) {
        chosen.push_back(i);
        grow(i, chosen, placed, sum + candidates[i]);
        chosen.pop_back();
      }
      placed.resize(before);
    }
  }
};

// How the tree's lines fall on the lines: none when one of them falls on none.
std::optional<TreeMatch> placed(std::span<const FoundLine> lines, const std::vector<Mirror>& mirrors, double centre,
                                std::vector<CouplingGroup> groups, double tolerance) {
  TreeMatch m;
  m.centreHz = centre;
  m.groups = largest_first(std::move(groups));
  m.predicted.assign(lines.size(), 0);
  const Sticks sticks = sticks_of(m.groups);
  for (std::size_t k = 0; k < sticks.size(); ++k) {
    const double at = centre + sticks.offset(k, m.groups);
    std::optional<std::size_t> on;
    for (const Mirror& mirror : mirrors) {
      for (const std::size_t i : {mirror.upper, mirror.lower}) {
        const double d = std::fabs(lines[i].hz - at);
        if (d <= tolerance && (!on || d < std::fabs(lines[*on].hz - at))) on = i;
      }
    }
    if (!on) return std::nullopt;
    m.predicted[*on] += sticks.share[k];
  }
  // Scaled to the lower median of the lines' amounts over their shares: a line that
  // another multiplet's line raises does not raise the rest.
  // A line under TMS's or the solvent's may hold whatever the tree puts there.
  std::vector<double> ratios;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (m.predicted[i] > 0 && !lines[i].underReference) ratios.push_back(lines[i].amount / m.predicted[i]);
  }
  if (ratios.empty()) return std::nullopt;
  std::sort(ratios.begin(), ratios.end());
  m.unit = ratios[(ratios.size() - 1) / 2];
  double squares = 0, own = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (m.predicted[i] == 0) continue;
    const double p = m.unit * m.predicted[i];
    m.predicted[i] = p;
    if (lines[i].underReference) continue;
    m.explained += std::min(p, lines[i].amount);
    m.excess += std::max(0.0, p - lines[i].amount);
    squares += (p - lines[i].amount) * (p - lines[i].amount);
    own += lines[i].amount * lines[i].amount;
  }
  m.misfit = own > 0 ? std::min(1.0, std::sqrt(squares / own)) : 1;
  return m;
}

}  // namespace

std::vector<TreeMatch> trees_about(std::span<const FoundLine> lines, double centre, const SearchLimits& limits) {
  const double tol = limits.toleranceHz;
  // The lines that mirror each other about the centre, outermost first.
  std::vector<Mirror> mirrors;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double offset = lines[i].hz - centre;
    if (offset <= tol / 2 || 2 * offset > limits.widestHz + tol) continue;
    if (const auto j = nearest(lines, centre - offset, tol)) mirrors.push_back({(lines[i].hz - lines[*j].hz) / 2, i, *j});
  }
  std::sort(mirrors.begin(), mirrors.end(), [](const Mirror& a, const Mirror& b) { return a.offset > b.offset; });
  const auto central = nearest(lines, centre, tol / 2);
  std::vector<TreeMatch> found;
  if (central) {
    std::vector<Mirror> middle = {{0, *central, *central}};
    if (auto s = placed(lines, middle, centre, {}, tol)) found.push_back(std::move(*s));
    mirrors.push_back(middle.front());
  }
  // A pair's strength: its weaker line's, of a line under TMS's or the solvent's its partner's.
  const auto strength = [&](const Mirror& m) {
    if (lines[m.upper].underReference) return lines[m.lower].amount;
    if (lines[m.lower].underReference) return lines[m.upper].amount;
    return std::min(lines[m.upper].amount, lines[m.lower].amount);
  };
  double strongest = 0;
  for (const Mirror& m : mirrors) strongest = std::max(strongest, strength(m));
  std::size_t tried = 0;
  for (std::size_t o = 0; o < mirrors.size() && tried < kOuterTried; ++o) {
    const Mirror& outer = mirrors[o];
    if (outer.offset == 0 || strength(outer) < kWeakestOuter * strongest) continue;
    ++tried;
    // Each coupling is the distance from the outer line to a line of the multiplet, and
    // together they span its width.
    const double width = 2 * outer.offset;
    std::vector<double> distances;
    for (std::size_t p = o + 1; p < mirrors.size(); ++p) distances.push_back(outer.offset - mirrors[p].offset);
    for (std::size_t p = o; p < mirrors.size(); ++p) {
      if (mirrors[p].offset > 0) distances.push_back(outer.offset + mirrors[p].offset);
    }
    std::sort(distances.begin(), distances.end());
    std::vector<double> candidates;
    for (const double d : distances) {
      if (d < limits.smallestHz - tol || d > limits.largestHz + tol) continue;
      if (!candidates.empty() && d - candidates.back() < tol / 2) continue;
      candidates.push_back(d);
    }
    const std::vector<Mirror> used(mirrors.begin() + static_cast<std::ptrdiff_t>(o), mirrors.end());
    std::vector<double> depths;
    for (const Mirror& m : used) {
      depths.push_back(lines[outer.upper].hz - lines[m.upper].hz);
      depths.push_back(lines[outer.upper].hz - lines[m.lower].hz);
    }
    std::sort(depths.begin(), depths.end());
    // Each distance may be off by the tolerance: their sum, by more.
    SetSearch search{candidates, depths, width, tol, kSumTolerances * tol, static_cast<std::size_t>(limits.mostCouplings), limits.budget, {}};
    std::vector<std::size_t> chosen;
    std::vector<double> outerLine = {0};
    search.grow(0, chosen, outerLine, 0);
    for (const auto& set : search.sets) {
      if (limits.budget && !limits.budget->take(std::size_t{1} << std::min<std::size_t>(set.size(), kMostPlacedExponent))) break;
      std::vector<CouplingGroup> groups;
      for (const std::size_t i : set) {
        if (!groups.empty() && groups.back().hz == candidates[i]) {
          ++groups.back().count;
        } else {
          groups.push_back({candidates[i], 1});
        }
      }
      // Couplings scaled so that they span the width exactly.
      double sum = 0;
      for (const CouplingGroup& g : groups) sum += g.hz * g.count;
      for (CouplingGroup& g : groups) g.hz *= width / sum;
      if (auto m = placed(lines, used, centre, std::move(groups), tol)) found.push_back(std::move(*m));
    }
  }
  // The best first: by worth, and of those about as good, the fewest couplings.
  std::sort(found.begin(), found.end(), [](const TreeMatch& a, const TreeMatch& b) { return worth(a) > worth(b); });
  if (!found.empty()) {
    const double best = worth(found.front());
    const auto couplings = [](const TreeMatch& m) { return each_coupling(m.groups).size(); };
    std::stable_sort(found.begin(), found.end(), [&](const TreeMatch& a, const TreeMatch& b) {
      const bool goodA = worth(a) >= kAboutAsMuch * best, goodB = worth(b) >= kAboutAsMuch * best;
      if (goodA != goodB) return goodA;
      if (goodA && couplings(a) != couplings(b)) return couplings(a) < couplings(b);
      return worth(a) > worth(b);
    });
  }
  return found;
}

}  // namespace analysis
