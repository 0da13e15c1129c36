// First-order multiplet patterns.
#include "analysis/multiplets.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>

#include "processing/linear_system.hpp"

namespace analysis {
namespace {

constexpr std::size_t kMostLines = 16;        // beyond this a multiplet is "m" without a search
constexpr std::size_t kMostSets = 4000;       // sets of couplings tried
constexpr std::size_t kRefined = 12;          // the best-fitting sets refined
constexpr std::size_t kMostFitPoints = 256;   // points of the spectrum a fit compares
constexpr double kSameCandidateHz = 0.15;     // distances this close are one candidate
constexpr double kLeastTolerance = 0.4;       // Hz a component may lie off its line
constexpr double kPlacedWidths = 2.5;         // or half widths: unresolved components merge
                                              // into one line between them
constexpr double kAboutAsGood = 1.5;          // a simpler set may misfit this much more
constexpr double kAboutAsGoodBy = 0.03;       // or by this much
constexpr int kRefinements = 3;

// Couplings of equal value, counted: n of them split each line into n + 1, binomially.
struct Group {
  double j = 0;
  int count = 1;
};

// A component of a pattern: where it lies along each group (k - n / 2 for k of its n
// couplings taken upwards), and how many coincide there.
struct Component {
  std::vector<double> along;
  double weight = 1;
};

std::vector<Component> components_of(const std::vector<Group>& groups) {
  std::vector<Component> components = {{{}, 1}};
  for (const Group& g : groups) {
    std::vector<Component> next;
    for (const Component& c : components) {
      double binomial = 1;
      for (int k = 0; k <= g.count; ++k) {
        Component d = c;
        d.along.push_back(k - g.count / 2.0);
        d.weight *= binomial;
        next.push_back(std::move(d));
        binomial = binomial * (g.count - k) / (k + 1);
      }
    }
    components = std::move(next);
  }
  return components;
}

double position_of(const Component& c, double centre, const std::vector<Group>& groups) {
  double p = centre;
  for (std::size_t g = 0; g < groups.size(); ++g) p += c.along[g] * groups[g].j;
  return p;
}

class Fit {
 public:
  Fit(std::span<const double> hz, std::span<const double> y, std::span<const double> lines, double halfWidth)
      : lines_(lines),
        halfWidth_(halfWidth),
        tolerance_(std::max(kLeastTolerance, kPlacedWidths * halfWidth)) {
    const std::size_t every = std::max<std::size_t>(1, hz.size() / kMostFitPoints);
    for (std::size_t i = 0; i < hz.size(); i += every) {
      hz_.push_back(hz[i]);
      y_.push_back(y[i]);
      power_ += y[i] * y[i];
    }
  }

  // How far a component may lie off its line, and the couplings' sum off the width.
  double tolerance() const { return tolerance_; }

  // Whether each line has a component of the pattern near it, and each component a line.
  bool placed(const std::vector<Group>& groups, double centre) const {
    const std::vector<Component> components = components_of(groups);
    std::vector<bool> met(lines_.size(), false);
    for (const Component& c : components) {
      const double p = position_of(c, centre, groups);
      const std::size_t l = nearest_line(p);
      if (std::fabs(lines_[l] - p) > tolerance_) return false;
      met[l] = true;
    }
    return std::all_of(met.begin(), met.end(), [](bool m) { return m; });
  }

  // Refines the centre and the couplings by least squares of the lines' positions, each
  // line the mean of the components nearest it; false when the lines do not decide them.
  bool refine(std::vector<Group>& groups, double& centre) const {
    for (int round = 0; round < kRefinements; ++round) {
      const std::vector<Component> components = components_of(groups);
      const std::size_t unknowns = groups.size() + 1;
      std::vector<std::vector<double>> rows(lines_.size(), std::vector<double>(unknowns, 0));
      std::vector<double> weights(lines_.size(), 0);
      for (const Component& c : components) {
        const std::size_t l = nearest_line(position_of(c, centre, groups));
        rows[l][0] += c.weight;
        for (std::size_t g = 0; g < groups.size(); ++g) rows[l][g + 1] += c.weight * c.along[g];
        weights[l] += c.weight;
      }
      std::vector<std::vector<double>> normal(unknowns, std::vector<double>(unknowns, 0));
      std::vector<double> right(unknowns, 0), solution;
      for (std::size_t l = 0; l < lines_.size(); ++l) {
        if (weights[l] == 0) return false;
        for (double& v : rows[l]) v /= weights[l];
        for (std::size_t r = 0; r < unknowns; ++r) {
          right[r] += rows[l][r] * lines_[l];
          for (std::size_t c = 0; c < unknowns; ++c) normal[r][c] += rows[l][r] * rows[l][c];
        }
      }
      if (!processing::solve_linear(normal, right, solution)) return round > 0;
      centre = solution[0];
      for (std::size_t g = 0; g < groups.size(); ++g) groups[g].j = solution[g + 1];
    }
    return true;
  }

  // How far Lorentzian lines at the pattern's components, scaled to fit best, miss the
  // spectrum: the residual's norm over the spectrum's.
  double misfit(const std::vector<Group>& groups, double centre) const {
    if (!(power_ > 0)) return 1;
    std::vector<double> positions, weights;
    for (const Component& c : components_of(groups)) {
      positions.push_back(position_of(c, centre, groups));
      weights.push_back(c.weight);
    }
    std::vector<double> model(hz_.size(), 0);
    double cross = 0, own = 0;
    for (std::size_t i = 0; i < hz_.size(); ++i) {
      for (std::size_t k = 0; k < positions.size(); ++k) {
        const double u = (hz_[i] - positions[k]) / halfWidth_;
        model[i] += weights[k] / (1 + u * u);
      }
      cross += model[i] * y_[i];
      own += model[i] * model[i];
    }
    if (!(own > 0)) return 1;
    const double scale = cross / own;
    double residual = 0;
    for (std::size_t i = 0; i < hz_.size(); ++i) residual += (y_[i] - scale * model[i]) * (y_[i] - scale * model[i]);
    return std::min(1.0, std::sqrt(residual / power_));
  }

 private:
  std::size_t nearest_line(double p) const {
    std::size_t best = 0;
    for (std::size_t l = 1; l < lines_.size(); ++l) {
      if (std::fabs(lines_[l] - p) < std::fabs(lines_[best] - p)) best = l;
    }
    return best;
  }

  std::span<const double> lines_;
  double halfWidth_, tolerance_;
  std::vector<double> hz_, y_;
  double power_ = 0;
};

// The distances a coupling can be: from the first line to another, from another to the
// last; those within kSameCandidateHz of each other taken as one.
std::vector<double> candidates(std::span<const double> lines, double tolerance) {
  std::vector<double> d;
  for (std::size_t l = 1; l < lines.size(); ++l) {
    d.push_back(lines[l] - lines.front());
    d.push_back(lines.back() - lines[l - 1]);
  }
  std::sort(d.begin(), d.end());
  std::vector<double> merged;
  std::vector<int> counts;
  for (const double v : d) {
    if (v > kLargestCouplingHz + tolerance) break;
    if (!merged.empty() && v - merged.back() / counts.back() < kSameCandidateHz) {
      merged.back() += v;
      ++counts.back();
    } else {
      merged.push_back(v);
      counts.push_back(1);
    }
  }
  for (std::size_t i = 0; i < merged.size(); ++i) merged[i] /= counts[i];
  return merged;
}

// Every multiset of candidates, up to kMostCouplings of them, whose sum is the width.
void sets_of(const std::vector<double>& c, double width, double tolerance, std::size_t from, std::vector<std::size_t>& chosen,
             double sum, std::vector<std::vector<std::size_t>>& sets) {
  if (sets.size() >= kMostSets) return;
  if (!chosen.empty() && std::fabs(sum - width) <= tolerance) sets.push_back(chosen);
  if (chosen.size() == static_cast<std::size_t>(kMostCouplings)) return;
  for (std::size_t i = from; i < c.size() && sum + c[i] <= width + tolerance; ++i) {
    chosen.push_back(i);
    sets_of(c, width, tolerance, i, chosen, sum + c[i], sets);
    chosen.pop_back();
  }
}

std::vector<Group> groups_of(const std::vector<std::size_t>& set, const std::vector<double>& c) {
  std::vector<Group> groups;
  for (const std::size_t i : set) {
    if (!groups.empty() && groups.back().j == c[i]) {
      ++groups.back().count;
    } else {
      groups.push_back({c[i], 1});
    }
  }
  return groups;
}

// Groups whose couplings lie within kEqualCouplingsHz of each other joined as one; the
// same groups when none do.
std::vector<Group> tied(std::vector<Group> groups) {
  std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.j > b.j; });
  std::vector<Group> joined;
  for (const Group& g : groups) {
    if (!joined.empty() && joined.back().j - g.j < kEqualCouplingsHz) {
      Group& last = joined.back();
      last.j = (last.j * last.count + g.j * g.count) / (last.count + g.count);
      last.count += g.count;
    } else {
      joined.push_back(g);
    }
  }
  return joined;
}

struct Candidate {
  std::vector<Group> groups;
  double centre = 0;
  double misfit = 1;
  int couplings() const {
    int n = 0;
    for (const Group& g : groups) n += g.count;
    return n;
  }
};

bool nameable(const std::vector<Group>& groups) {
  return std::all_of(groups.begin(), groups.end(),
                     [](const Group& g) { return g.j >= kSmallestCouplingHz && g.count <= kMostCouplings; });
}

std::string name_of(const std::vector<Group>& groups) {
  static const char* const kLetters[] = {"", "d", "t", "q", "p", "sext", "sept"};
  std::string name;
  for (const Group& g : groups) name += kLetters[g.count];
  return name;
}

}  // namespace

Pattern first_order_pattern(std::span<const double> hz, std::span<const double> y, std::span<const double> lines,
                            double halfWidthHz) {
  Pattern pattern{"m", {}, lines.empty() ? 0 : (lines.front() + lines.back()) / 2, 1};
  if (lines.size() < 2 || lines.size() > kMostLines || hz.size() != y.size() || !(halfWidthHz > 0)) return pattern;
  const Fit fit(hz, y, lines, halfWidthHz);
  const double width = lines.back() - lines.front();
  const std::vector<double> c = candidates(lines, fit.tolerance());
  std::vector<std::vector<std::size_t>> sets;
  std::vector<std::size_t> chosen;
  sets_of(c, width, fit.tolerance(), 0, chosen, 0, sets);

  // Each set whose components fall on the lines, judged as it stands; the best refined,
  // and again with its nearly equal couplings made one.
  std::vector<Candidate> placed;
  for (const auto& set : sets) {
    Candidate k{groups_of(set, c), pattern.centreHz, 1};
    if (!fit.placed(k.groups, k.centre)) continue;
    k.misfit = fit.misfit(k.groups, k.centre);
    placed.push_back(std::move(k));
  }
  std::sort(placed.begin(), placed.end(), [](const Candidate& a, const Candidate& b) { return a.misfit < b.misfit; });
  if (placed.size() > kRefined) placed.resize(kRefined);
  std::vector<Candidate> judged;
  for (Candidate& k : placed) {
    for (int variant = 0; variant < 2; ++variant) {
      Candidate v = k;
      if (variant == 1) {
        v.groups = tied(v.groups);
        if (v.groups.size() == k.groups.size()) continue;
      }
      if (!fit.refine(v.groups, v.centre)) continue;
      for (Group& g : v.groups) g.j = std::fabs(g.j);
      std::sort(v.groups.begin(), v.groups.end(), [](const Group& a, const Group& b) { return a.j > b.j; });
      if (!nameable(v.groups)) continue;
      v.misfit = fit.misfit(v.groups, v.centre);
      judged.push_back(std::move(v));
    }
  }
  if (judged.empty()) return pattern;
  double best = 1;
  for (const Candidate& k : judged) best = std::min(best, k.misfit);
  const double allowed = std::min(kMostMisfit, std::max(kAboutAsGood * best, best + kAboutAsGoodBy));
  const Candidate* chosenOne = nullptr;
  for (const Candidate& k : judged) {
    if (k.misfit > allowed) continue;
    if (!chosenOne || std::make_tuple(k.groups.size(), k.couplings(), k.misfit) <
                          std::make_tuple(chosenOne->groups.size(), chosenOne->couplings(), chosenOne->misfit)) {
      chosenOne = &k;
    }
  }
  if (!chosenOne) return pattern;
  pattern.name = name_of(chosenOne->groups);
  for (const Group& g : chosenOne->groups) pattern.couplings.push_back(g.j);
  pattern.centreHz = chosenOne->centre;
  pattern.misfit = chosenOne->misfit;
  return pattern;
}

}  // namespace analysis
