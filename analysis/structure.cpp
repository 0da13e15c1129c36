// The simplest trees of couplings that fit a stretch.
#include "analysis/structure.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/assembly.hpp"
#include "analysis/tree_growth.hpp"

namespace analysis {
namespace {

constexpr double kLeastF = 10;            // the F statistic more parameters must reach
constexpr double kFitsWell = 1.5;         // chi-square per degree of freedom of a fit left as it is
constexpr double kUntiedSplitHz = 0.1;    // equal couplings let apart by this, to start
constexpr double kLocalWidths = 6;        // a multiplet's own stretch reaches this far beyond its lines
constexpr int kLocalEvaluations = 40;
constexpr double kSplitTolerance = 0.5;   // of the tolerance: lines a tree of two multiplets must meet
constexpr std::size_t kMostRounds = 64;   // of joining, for a stretch

// A model for part of a stretch, fitted, and what it left.
struct Judged {
  RegionModel model;
  double chiSquare = 0;
  std::size_t parameters = 0;
  std::size_t points = 0;
};

double reach_of(const ModelMultiplet& m) { return half_extent(m.groups) + kLocalWidths * m.widthHz; }

// The part of the stretch the given multiplets' lines (and their wings) cover.
Stretch local_stretch(const Stretch& st, const std::vector<const ModelMultiplet*>& ms) {
  double high = -1e300, low = 1e300;
  for (const ModelMultiplet* m : ms) {
    high = std::max(high, m->centreHz + reach_of(*m));
    low = std::min(low, m->centreHz - reach_of(*m));
  }
  return st.part(high, low);
}

// The multiplets `free` of the model fitted over local, the rest held.
Judged judge(const Stretch& local, const RegionModel& model, const std::vector<std::size_t>& free) {
  FitOptions options;
  options.held.assign(model.multiplets.size(), true);
  for (const std::size_t m : free) options.held[m] = false;
  options.shape = false;
  options.phase = false;
  options.mostEvaluations = kLocalEvaluations;
  Fitted f = fit(local, model, options);
  return {std::move(f.model), f.chiSquare, f.parameters, local.size()};
}

// The best of the judged: the simplest, unless one of more parameters earns them (an
// F-test), and so on up.
const Judged& chosen(const std::vector<Judged>& judged) {
  std::vector<const Judged*> order;
  for (const Judged& j : judged) order.push_back(&j);
  std::stable_sort(order.begin(), order.end(), [](const Judged* a, const Judged* b) {
    return a->parameters != b->parameters ? a->parameters < b->parameters : a->chiSquare < b->chiSquare;
  });
  const Judged* best = order.front();
  for (const Judged* j : order) {
    if (earns_its_parameters(best->chiSquare, best->parameters, j->chiSquare, j->parameters, j->points, kLeastF)) best = j;
  }
  return *best;
}

// Whether a fit leaves no more than noise and what a model of ideal lines cannot follow.
bool fits_well(const Judged& j) {
  return j.points > j.parameters && j.chiSquare / static_cast<double>(j.points - j.parameters) <= kFitsWell;
}

bool any_equal(std::span<const CouplingGroup> groups) {
  return std::any_of(groups.begin(), groups.end(), [](const CouplingGroup& g) { return g.count > 1; });
}

// The trees the multiplet's own lines make about its centre, the fewest couplings first.
std::vector<std::vector<CouplingGroup>> trees_of(const StructureSearch& search, const RegionModel& model, std::size_t which) {
  const std::vector<FoundLine> own = own_lines(search.lines, model, which, search.limits.toleranceHz);
  std::vector<std::vector<CouplingGroup>> trees;
  for (const TreeMatch& t : trees_about(own, model.multiplets[which].centreHz, search.limits)) {
    if (trees.size() == search.candidates) break;
    if (std::find(trees.begin(), trees.end(), t.groups) == trees.end()) trees.push_back(t.groups);
  }
  return trees;
}

// The multiplet given the tree that fits best for its price.
RegionModel restructured(const StructureSearch& search, const RegionModel& model, std::size_t which) {
  const ModelMultiplet& own = model.multiplets[which];
  std::vector<std::vector<CouplingGroup>> trees = trees_of(search, model, which);
  trees.insert(trees.begin(), own.groups);
  // Its own tree and the best its lines make with their equal couplings let apart.
  for (std::size_t t = 0, n = std::min<std::size_t>(trees.size(), 2); t < n; ++t) {
    if (any_equal(trees[t])) trees.push_back(untied(trees[t]));
  }
  // A coupling narrower than the lines may be their shape, not a coupling.
  if (!own.groups.empty()) {
    std::vector<CouplingGroup> fewer = largest_first(own.groups);
    if (fewer.back().hz < own.widthHz && --fewer.back().count == 0) fewer.pop_back();
    if (fewer != largest_first(own.groups)) trees.push_back(fewer);
  }
  std::vector<ModelMultiplet> shapes;
  for (const auto& t : trees) {
    ModelMultiplet m = own;
    m.groups = t;
    shapes.push_back(m);
  }
  // Wide enough for a tree grown as wide as the widest found, and a coupling more.
  ModelMultiplet widest = own;
  widest.groups = {{2 * search.growth.largestHz, 1}};
  std::vector<const ModelMultiplet*> covered = {&widest};
  for (const ModelMultiplet& m : shapes) covered.push_back(&m);
  const Stretch local = local_stretch(search.stretch, covered);
  std::vector<Judged> judged;
  for (const ModelMultiplet& m : shapes) {
    RegionModel start = model;
    start.multiplets[which] = m;
    Judged j = judge(local, start, {which});
    // The tree it has fits within what a model follows: nothing simpler is looked for.
    if (judged.empty() && fits_well(j)) return j.model;
    // A coupling the fit made narrower than the lines can tell is their shape: without it.
    std::vector<CouplingGroup>& fitted = j.model.multiplets[which].groups;
    if (std::erase_if(fitted, [&](const CouplingGroup& g) { return g.hz < search.limits.smallestHz; }) > 0) j = judge(local, j.model, {which});
    judged.push_back(std::move(j));
  }
  // The best of them grown in the points themselves, where a coupling more earns its place.
  const Judged& best = chosen(judged);
  Fitted g = grown(local, best.model, which, search.growth);
  judged.push_back({std::move(g.model), g.chiSquare, g.parameters, local.size()});
  return chosen(judged).model;
}

// The multiplet taken apart into the multiplets its lines make at half the tolerance
// (two doublets side by side, which a wider tolerance took for one dd), where they fit
// better for their price.
RegionModel split(const StructureSearch& search, const RegionModel& model, std::size_t which) {
  const ModelMultiplet& own = model.multiplets[which];
  const double reach = half_extent(own.groups) + search.limits.toleranceHz;
  std::vector<FoundLine> lines;
  for (const FoundLine& l : own_lines(search.lines, model, which, search.limits.toleranceHz)) {
    if (std::fabs(l.hz - own.centreHz) <= reach) lines.push_back(l);
  }
  SearchLimits strict = search.limits;
  strict.toleranceHz *= kSplitTolerance;
  std::vector<ModelMultiplet> parts = assemble(lines, 0, own.widthHz, strict);
  std::erase_if(parts, [](const ModelMultiplet& m) { return m.loose; });
  if (parts.size() < 2) return model;
  RegionModel apart = model;
  apart.multiplets.erase(apart.multiplets.begin() + static_cast<std::ptrdiff_t>(which));
  std::vector<std::size_t> free;
  std::vector<const ModelMultiplet*> covered = {&own};
  for (const ModelMultiplet& p : parts) {
    free.push_back(apart.multiplets.size());
    apart.multiplets.push_back(p);
    covered.push_back(&p);
  }
  const Stretch local = local_stretch(search.stretch, covered);
  return chosen({judge(local, model, {which}), judge(local, apart, free)}).model;
}

// The smaller multiplet b joined to a, where one tree of a's fits both for its price.
RegionModel joined_to(const StructureSearch& search, const RegionModel& model, std::size_t a, std::size_t b) {
  RegionModel without = model;
  without.multiplets.erase(without.multiplets.begin() + static_cast<std::ptrdiff_t>(b));
  const std::size_t kept = a > b ? a - 1 : a;
  std::vector<std::vector<CouplingGroup>> trees = trees_of(search, without, kept);
  trees.insert(trees.begin(), model.multiplets[a].groups);
  std::vector<Judged> judged;
  const Stretch local = local_stretch(search.stretch, {&model.multiplets[a], &model.multiplets[b]});
  judged.push_back(judge(local, model, {a, b}));
  for (const auto& t : trees) {
    RegionModel start = without;
    start.multiplets[kept].groups = t;
    start.multiplets[kept].loose = false;
    start.multiplets[kept].area += model.multiplets[b].area;
    judged.push_back(judge(local, start, {kept}));
  }
  return chosen(judged).model;
}

// A multiplet within whose lines the smaller one lies: the largest such; none when none.
std::optional<std::size_t> host_of(const RegionModel& model, std::size_t b) {
  const ModelMultiplet& small = model.multiplets[b];
  std::optional<std::size_t> host;
  for (std::size_t a = 0; a < model.multiplets.size(); ++a) {
    const ModelMultiplet& big = model.multiplets[a];
    if (a == b || big.reference || big.loose || !(big.area > small.area)) continue;
    if (std::fabs(small.centreHz - big.centreHz) > half_extent(big.groups) + big.widthHz) continue;
    if (!host || big.area > model.multiplets[*host].area) host = a;
  }
  return host;
}

}  // namespace

std::vector<CouplingGroup> untied(std::span<const CouplingGroup> groups) {
  std::vector<CouplingGroup> out;
  for (const CouplingGroup& g : groups) {
    for (int k = 0; k < g.count; ++k) out.push_back({g.hz + (k - (g.count - 1) / 2.0) * kUntiedSplitHz, 1});
  }
  return out;
}

std::vector<FoundLine> own_lines(std::span<const FoundLine> lines, const RegionModel& model, std::size_t which, double toleranceHz) {
  std::vector<FoundLine> own(lines.begin(), lines.end());
  for (std::size_t m = 0; m < model.multiplets.size(); ++m) {
    if (m == which) continue;
    const ModelMultiplet& other = model.multiplets[m];
    const Sticks sticks = sticks_of(other.groups);
    for (std::size_t k = 0; k < sticks.size(); ++k) {
      const double at = other.centreHz + sticks.offset(k, other.groups);
      FoundLine* nearest = nullptr;
      for (FoundLine& l : own) {
        if (std::fabs(l.hz - at) <= toleranceHz && (!nearest || std::fabs(l.hz - at) < std::fabs(nearest->hz - at))) nearest = &l;
      }
      if (nearest) nearest->amount = std::max(0.0, nearest->amount - other.area * sticks.share[k]);
    }
  }
  return own;
}

Fitted simplest_structures(const StructureSearch& search, Fitted fitted) {
  RegionModel model = std::move(fitted.model);
  // Fragments joined to the multiplet they lie in, the smallest first, until none joins.
  for (std::size_t round = 0; round < kMostRounds; ++round) {
    std::vector<std::size_t> order;
    for (std::size_t m = 0; m < model.multiplets.size(); ++m) {
      if (!model.multiplets[m].reference) order.push_back(m);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return model.multiplets[x].area < model.multiplets[y].area; });
    bool joinedOne = false;
    for (const std::size_t b : order) {
      const auto a = host_of(model, b);
      if (!a) continue;
      const std::size_t before = model.multiplets.size();
      model = joined_to(search, model, *a, b);
      if ((joinedOne = model.multiplets.size() < before)) break;
    }
    if (!joinedOne) break;
  }
  // Each tree the simplest that fits, the largest first; a tree taken apart where two fit.
  std::vector<const ModelMultiplet*> trees;
  for (const ModelMultiplet& m : model.multiplets) {
    if (!m.loose && !m.reference) trees.push_back(&m);
  }
  std::sort(trees.begin(), trees.end(), [](const ModelMultiplet* x, const ModelMultiplet* y) { return x->area > y->area; });
  std::vector<double> centres;
  for (const ModelMultiplet* m : trees) centres.push_back(m->centreHz);
  for (const double centre : centres) {
    // Found again by its place: splitting and fitting move the others.
    const auto at = std::find_if(model.multiplets.begin(), model.multiplets.end(),
                                 [&](const ModelMultiplet& m) { return !m.loose && !m.reference && m.centreHz == centre; });
    if (at == model.multiplets.end()) continue;
    const auto which = static_cast<std::size_t>(at - model.multiplets.begin());
    model = split(search, restructured(search, model, which), which);
  }
  return {std::move(model), 0, 0};
}

}  // namespace analysis
