// A multiplet's tree of couplings grown in the spectrum itself.
#include "analysis/tree_growth.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/line_shape.hpp"

namespace analysis {
namespace {

constexpr std::size_t kRefined = 2;
constexpr double kLeastSaved = 0.1;  // of the chi-square: what more parameters must save  // of a round's trees, the best refined by least squares

struct Trial {
  std::vector<CouplingGroup> groups;
  double chiSquare = 0;
};

// The chi-square of the multiplet with these couplings, its centre, width and shape as
// they are and its area the one that fits best, over what the rest leaves (rest).
double scaled_chi_square(const Stretch& st, const std::vector<double>& rest, const ModelMultiplet& m,
                         const std::vector<CouplingGroup>& groups, double lorentzian, double phase) {
  const Sticks sticks = sticks_of(groups);
  std::vector<double> offsets(sticks.size());
  for (std::size_t k = 0; k < sticks.size(); ++k) offsets[k] = m.centreHz + sticks.offset(k, groups);
  double own = 0, cross = 0, left = 0;
  for (std::size_t i = 0; i < st.size(); ++i) {
    double v = 0;
    for (std::size_t k = 0; k < sticks.size(); ++k) v += sticks.share[k] * line_at(st.hz(i) - offsets[k], m.widthHz, lorentzian, phase).value;
    const double w2 = st.weight(i) * st.weight(i);
    const double r = st.y(i) - rest[i];
    own += w2 * v * v;
    cross += w2 * r * v;
    left += w2 * r * r;
  }
  return own > 0 ? left - cross * cross / own : left;
}

}  // namespace

bool earns_its_parameters(double simpleChiSquare, std::size_t simpleParameters, double complexChiSquare,
                          std::size_t complexParameters, std::size_t points, double leastF) {
  if (complexParameters <= simpleParameters) return complexChiSquare < simpleChiSquare;
  if (points <= complexParameters || !(complexChiSquare > 0)) return complexChiSquare < simpleChiSquare;
  const double saved = (simpleChiSquare - complexChiSquare) / static_cast<double>(complexParameters - simpleParameters);
  const double left = complexChiSquare / static_cast<double>(points - complexParameters);
  // Where the model's lines cannot follow the spectrum's shape, a parameter more always
  // saves a little of what is left: it must save a good share of it.
  return saved / left >= leastF && simpleChiSquare - complexChiSquare >= kLeastSaved * simpleChiSquare;
}

Fitted grown(const Stretch& local, const RegionModel& model, std::size_t which, const Growth& growth) {
  RegionModel others = model;
  others.multiplets.erase(others.multiplets.begin() + static_cast<std::ptrdiff_t>(which));
  const std::vector<double> rest = model_values(local, others);
  FitOptions options;
  options.held.assign(model.multiplets.size(), true);
  options.held[which] = false;
  options.shape = false;
  options.phase = false;
  Fitted current = fit(local, model, options);
  for (int round = 0; round < growth.mostRounds; ++round) {
    const ModelMultiplet& m = current.model.multiplets[which];
    if (static_cast<int>(each_coupling(m.groups).size()) >= growth.mostCouplings) break;
    std::vector<Trial> trials;
    for (double j = growth.smallestHz; j <= growth.largestHz + 1e-9; j += growth.stepHz) {
      std::vector<CouplingGroup> groups = m.groups;
      groups.push_back({j, 1});
      trials.push_back({groups, 0});
    }
    for (std::size_t g = 0; g < m.groups.size(); ++g) {
      std::vector<CouplingGroup> groups = m.groups;
      ++groups[g].count;
      trials.push_back({groups, 0});
    }
    for (Trial& t : trials) t.chiSquare = scaled_chi_square(local, rest, m, t.groups, model.lorentzian, model.phase);
    std::sort(trials.begin(), trials.end(), [](const Trial& a, const Trial& b) { return a.chiSquare < b.chiSquare; });
    std::optional<Fitted> best;
    for (std::size_t t = 0; t < std::min(kRefined, trials.size()); ++t) {
      RegionModel trial = current.model;
      trial.multiplets[which].groups = trials[t].groups;
      Fitted f = fit(local, trial, options);
      const auto& groups = f.model.multiplets[which].groups;
      // A coupling the fit made narrower than those tried is the lines' shape.
      if (std::any_of(groups.begin(), groups.end(), [&](const CouplingGroup& g) { return g.hz < growth.smallestHz; })) continue;
      if (!best || f.chiSquare < best->chiSquare) best = std::move(f);
    }
    if (!best || !earns_its_parameters(current.chiSquare, current.parameters, best->chiSquare, best->parameters, local.size(),
                                       growth.leastF)) {
      break;
    }
    current = std::move(*best);
  }
  return current;
}

}  // namespace analysis
