// A first-order multiplet as a tree of couplings.
#include "analysis/coupling_tree.hpp"

#include <algorithm>
#include <cmath>

namespace analysis {

double Sticks::offset(std::size_t k, std::span<const CouplingGroup> groups) const {
  double o = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) o += along[k][g] * groups[g].hz;
  return o;
}

Sticks sticks_of(std::span<const CouplingGroup> groups) {
  Sticks s;
  s.along = {{}};
  s.share = {1};
  for (const CouplingGroup& g : groups) {
    Sticks next;
    for (std::size_t k = 0; k < s.size(); ++k) {
      double binomial = 1;
      for (int m = 0; m <= g.count; ++m) {
        std::vector<double> along = s.along[k];
        along.push_back(m - g.count / 2.0);
        next.along.push_back(std::move(along));
        next.share.push_back(s.share[k] * binomial / std::ldexp(1.0, g.count));
        binomial = binomial * (g.count - m) / (m + 1);
      }
    }
    s = std::move(next);
  }
  return s;
}

std::vector<CouplingGroup> largest_first(std::vector<CouplingGroup> groups) {
  std::stable_sort(groups.begin(), groups.end(), [](const CouplingGroup& a, const CouplingGroup& b) { return a.hz > b.hz; });
  return groups;
}

std::string pattern_name(std::span<const CouplingGroup> groups) {
  static const char* const kLetters[] = {"", "d", "t", "q", "p", "sext", "sept", "oct"};
  if (groups.empty()) return "s";
  std::string name;
  for (const CouplingGroup& g : groups) {
    if (g.count < 1 || g.count > 7) return "m";
    name += kLetters[g.count];
  }
  return name;
}

std::vector<double> each_coupling(std::span<const CouplingGroup> groups) {
  std::vector<double> j;
  for (const CouplingGroup& g : groups) j.insert(j.end(), static_cast<std::size_t>(g.count), g.hz);
  return j;
}

std::vector<CouplingGroup> joined(std::span<const CouplingGroup> groups, double withinHz) {
  std::vector<CouplingGroup> out;
  for (const CouplingGroup& g : largest_first({groups.begin(), groups.end()})) {
    // Joined to the group before while it stays within reach of all it holds.
    if (!out.empty() && out.back().hz - g.hz < withinHz) {
      CouplingGroup& last = out.back();
      last.hz = (last.hz * last.count + g.hz * g.count) / (last.count + g.count);
      last.count += g.count;
    } else {
      out.push_back(g);
    }
  }
  return out;
}

double half_extent(std::span<const CouplingGroup> groups) {
  double h = 0;
  for (const CouplingGroup& g : groups) h += g.count * std::fabs(g.hz) / 2;
  return h;
}

}  // namespace analysis
