// A stretch of a spectrum fitted as a sum of multiplets.
#include "analysis/region_fit.hpp"

#include <algorithm>
#include <cmath>

#include <limits>

#include <Eigen/Dense>

#include "analysis/line_shape.hpp"

namespace analysis {
namespace {

constexpr double kShapeTrust = 0.02;   // of a point's height: what no model of ideal lines follows
constexpr double kReachWidths = 50;    // a line's wings count at most this many widths out
constexpr double kLeastReachWidths = 3;
constexpr double kPullWidths = 8;      // a multiplet's parameters steer a fit this many widths out
constexpr double kNegligible = 0.3;    // of the noise: a wing lower than this counts for nothing
constexpr double kSteepestShare = 20;  // logit bounds of the Lorentzian share, for a fit that runs away
constexpr double kNarrowestHz = 0.02;
constexpr double kLargestPhase = 0.5;  // radians: beyond it no automatic phasing leaves a spectrum
constexpr double kLargestCouplingHz = 25;
// Areas are fitted by their logarithms: a multiplet's lines never turn negative to mend
// another's shape.
constexpr double kLeastArea = 1e-300, kLargestLogArea = 700;

double logistic(double p) { return 1 / (1 + std::exp(-p)); }
double logit(double share) {
  const double s = std::clamp(share, 1e-6, 1 - 1e-6);
  return std::log(s / (1 - s));
}

// The points of the stretch a multiplet reaches, [first, last): as far as its lines' wings
// stand above a fraction of the noise, at most kReachWidths widths.
std::pair<std::size_t, std::size_t> reach_of(const Stretch& st, const ModelMultiplet& m, double mostWidths = kReachWidths) {
  const double top = std::fabs(m.area) * 2 / (M_PI * m.widthHz);
  const double wings = st.noise() > 0 ? m.widthHz / 2 * std::sqrt(top / (kNegligible * st.noise())) : mostWidths * m.widthHz;
  const double reach = half_extent(m.groups) + std::clamp(wings, kLeastReachWidths * m.widthHz, mostWidths * m.widthHz);
  // Hz falls with the index.
  std::size_t lo = 0, hi = st.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (st.hz(mid) > m.centreHz + reach) lo = mid + 1; else hi = mid;
  }
  std::size_t first = lo;
  hi = st.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (st.hz(mid) >= m.centreHz - reach) lo = mid + 1; else hi = mid;
  }
  return {first, lo};
}

// Adds a multiplet's lines to values over the points it reaches.
void add_multiplet(const Stretch& st, const ModelMultiplet& m, const Sticks& sticks, double lorentzian, double phase,
                   std::vector<double>& values) {
  const auto [first, last] = reach_of(st, m);
  for (std::size_t k = 0; k < sticks.size(); ++k) {
    const double at = m.centreHz + sticks.offset(k, m.groups);
    const double a = m.area * sticks.share[k];
    for (std::size_t i = first; i < last; ++i) values[i] += a * line_at(st.hz(i) - at, m.widthHz, lorentzian, phase).value;
  }
}

double baseline_at(const Stretch& st, const RegionModel& r, std::size_t i) { return r.offset + r.slope * (st.hz(i) - st.middle_hz()); }

// The fit's parameters: the offset, the shape and the phase with the baseline's slope
// (unless held), then for each free multiplet its centre, area, log width and couplings.
class Model {
 public:
  Model(const Stretch& st, const RegionModel& start, const FitOptions& options)
      : st_(st), model_(start), options_(options), base_(st.size(), 0) {
    highestHz_ = st.size() ? st.hz(0) : 0;
    lowestHz_ = st.size() ? st.hz(st.size() - 1) : 0;
    widestHz_ = std::max(1.0, highestHz_ - lowestHz_);
    int at = 1 + (options.shape ? 1 : 0) + (options.phase ? 2 : 0);
    for (std::size_t m = 0; m < start.multiplets.size(); ++m) {
      sticks_.push_back(sticks_of(start.multiplets[m].groups));
      first_.push_back(held(m) ? -1 : at);
      if (!held(m)) at += 3 + static_cast<int>(start.multiplets[m].groups.size());
      // Held multiplets are worked out once, unless the shape or phase they share is fitted.
      if (in_base(m)) add_multiplet(st, start.multiplets[m], sticks_.back(), start.lorentzian, start.phase, base_);
    }
    count_ = at;
  }

  int count() const { return count_; }

  Eigen::VectorXd parameters() const {
    Eigen::VectorXd p(count_);
    int at = 0;
    p[at++] = model_.offset;
    if (options_.shape) p[at++] = logit(model_.lorentzian);
    if (options_.phase) {
      p[at++] = model_.phase;
      p[at++] = model_.slope;
    }
    for (std::size_t m = 0; m < model_.multiplets.size(); ++m) {
      if (held(m)) continue;
      const ModelMultiplet& mm = model_.multiplets[m];
      p[at++] = mm.centreHz;
      p[at++] = std::log(std::max(mm.area, kLeastArea));
      p[at++] = std::log(mm.widthHz);
      for (const CouplingGroup& g : mm.groups) p[at++] = g.hz;
    }
    return p;
  }

  // The model these parameters stand for, bounded so that a fit that runs away stays
  // where the stretch is.
  RegionModel model_of(const Eigen::VectorXd& p) const {
    RegionModel r = model_;
    int at = 0;
    r.offset = p[at++];
    if (options_.shape) r.lorentzian = logistic(std::clamp(p[at++], -kSteepestShare, kSteepestShare));
    if (options_.phase) {
      r.phase = std::clamp(p[at++], -kLargestPhase, kLargestPhase);
      r.slope = p[at++];
    }
    for (std::size_t m = 0; m < r.multiplets.size(); ++m) {
      if (held(m)) continue;
      ModelMultiplet& mm = r.multiplets[m];
      mm.centreHz = std::clamp(p[at++], lowestHz_, highestHz_);
      mm.area = std::exp(std::min(p[at++], kLargestLogArea));
      mm.widthHz = std::exp(std::clamp(p[at++], std::log(kNarrowestHz), std::log(widestHz_)));
      for (CouplingGroup& g : mm.groups) g.hz = std::clamp(p[at++], -kLargestCouplingHz, kLargestCouplingHz);
    }
    return r;
  }

  double chi_square(const Eigen::VectorXd& p) const {
    const RegionModel r = model_of(p);
    std::vector<double> values = base_;
    for (std::size_t m = 0; m < r.multiplets.size(); ++m) {
      if (!in_base(m)) add_multiplet(st_, r.multiplets[m], sticks_[m], r.lorentzian, r.phase, values);
    }
    double sum = 0;
    for (std::size_t i = 0; i < st_.size(); ++i) {
      const double w = (values[i] + baseline_at(st_, r, i) - st_.y(i)) * st_.weight(i);
      sum += w * w;
    }
    return sum;
  }

  // The normal equations at p: J^T J and J^T r of the weighted residuals, gathered point by
  // point from the few parameters that reach it; and the chi-square there.
  double normal_equations(const Eigen::VectorXd& p, Eigen::MatrixXd& jtj, Eigen::VectorXd& jtr) const {
    const RegionModel r = model_of(p);
    jtj.setZero(count_, count_);
    jtr.setZero(count_);
    // A multiplet's value counts as far as its wings reach; its parameters' pull on the
    // points, only near its lines: far out it is too small to steer a step.
    std::vector<std::pair<std::size_t, std::size_t>> reach, pull;
    std::vector<std::vector<double>> places(r.multiplets.size());
    for (std::size_t m = 0; m < r.multiplets.size(); ++m) {
      reach.push_back(reach_of(st_, r.multiplets[m]));
      pull.push_back(reach_of(st_, r.multiplets[m], kPullWidths));
      for (std::size_t k = 0; k < sticks_[m].size(); ++k) places[m].push_back(r.multiplets[m].centreHz + sticks_[m].offset(k, r.multiplets[m].groups));
    }
    double* const normal = jtj.data();
    const auto n = static_cast<std::size_t>(count_);
    const double byLogit = r.lorentzian * (1 - r.lorentzian);
    const int shapeAt = options_.shape ? 1 : -1;
    const int phaseAt = options_.phase ? 1 + (options_.shape ? 1 : 0) : -1;
    // The multiplets reaching each point, in their order, followed point by point: a stretch
    // holds many multiplets and a point is reached by few.
    std::vector<std::size_t> arriving, reaching;
    for (std::size_t m = 0; m < r.multiplets.size(); ++m) {
      if (!in_base(m) && reach[m].first < reach[m].second) arriving.push_back(m);
    }
    std::stable_sort(arriving.begin(), arriving.end(), [&](std::size_t a, std::size_t b) { return reach[a].first < reach[b].first; });
    std::size_t arrived = 0;
    std::vector<std::pair<int, double>> row;
    std::vector<double> own;
    double chiSquare = 0;
    for (std::size_t i = 0; i < st_.size(); ++i) {
      const double w = st_.weight(i), hz = st_.hz(i);
      double value = base_[i] + baseline_at(st_, r, i), byShape = 0, byPhase = 0;
      std::erase_if(reaching, [&](std::size_t m) { return reach[m].second <= i; });
      for (; arrived < arriving.size() && reach[arriving[arrived]].first <= i; ++arrived) {
        reaching.insert(std::upper_bound(reaching.begin(), reaching.end(), arriving[arrived]), arriving[arrived]);
      }
      row.clear();
      row.push_back({0, w});
      if (phaseAt >= 0) row.push_back({phaseAt + 1, w * (hz - st_.middle_hz())});
      for (const std::size_t m : reaching) {
        const ModelMultiplet& mm = r.multiplets[m];
        const Sticks& s = sticks_[m];
        const std::size_t groups = mm.groups.size();
        own.assign(3 + groups, 0);
        for (std::size_t k = 0; k < s.size(); ++k) {
          const double share = s.share[k];
          const LineValue v = line_at(hz - places[m][k], mm.widthHz, r.lorentzian, r.phase);
          value += mm.area * share * v.value;
          byShape += mm.area * share * v.byShare;
          byPhase += mm.area * share * v.byPhase;
          own[0] -= mm.area * share * v.byX;
          own[1] += mm.area * share * v.value;
          own[2] += mm.area * share * v.byWidth * mm.widthHz;
          for (std::size_t g = 0; g < groups; ++g) own[3 + g] -= mm.area * share * v.byX * s.along[k][g];
        }
        if (held(m) || i < pull[m].first || i >= pull[m].second) continue;
        for (std::size_t q = 0; q < own.size(); ++q) row.push_back({first_[m] + static_cast<int>(q), w * own[q]});
      }
      if (shapeAt >= 0) row.push_back({shapeAt, w * byShape * byLogit});
      if (phaseAt >= 0) row.push_back({phaseAt, w * byPhase});
      const double residual = (value - st_.y(i)) * w;
      chiSquare += residual * residual;
      // J^T J is symmetric: its lower triangle gathered, the upper copied from it.
      for (std::size_t x = 0; x < row.size(); ++x) {
        const auto [a, va] = row[x];
        jtr[a] += va * residual;
        for (std::size_t y = x; y < row.size(); ++y) {
          const auto [b, vb] = row[y];
          normal[static_cast<std::size_t>(std::min(a, b)) * n + static_cast<std::size_t>(std::max(a, b))] += va * vb;
        }
      }
    }
    jtj.triangularView<Eigen::StrictlyUpper>() = jtj.transpose();
    return chiSquare;
  }

 private:
  bool held(std::size_t m) const { return m < options_.held.size() && options_.held[m]; }
  bool shared() const { return options_.shape || options_.phase; }
  // A held multiplet whose shape and phase are held too: in base_, worked out once.
  bool in_base(std::size_t m) const { return held(m) && !shared(); }

  const Stretch& st_;
  RegionModel model_;
  FitOptions options_;
  std::vector<Sticks> sticks_;
  std::vector<int> first_;     // each free multiplet's first parameter; -1 for a held one
  std::vector<double> base_;   // what the held multiplets add, when the shape and phase are held too
  double highestHz_ = 0, lowestHz_ = 0, widestHz_ = 1;
  int count_ = 0;
};

// Levenberg and Marquardt's method on the normal equations: each step solves
// (J^T J + lambda diag) d = -J^T r, taken when it lowers the chi-square (lambda then
// smaller), else tried again with lambda larger; until a step saves almost nothing.
Eigen::VectorXd minimised(const Model& model, Eigen::VectorXd p, int mostEvaluations) {
  constexpr double kStartDamping = 1e-3, kLeastDamping = 1e-9, kMostDamping = 1e9, kEnough = 1e-4;
  constexpr double kInsignificant = 1;  // of chi-square: a step within the parameters' own errors
  Eigen::MatrixXd jtj;
  Eigen::VectorXd jtr;
  double damping = kStartDamping;
  double chiSquare = model.normal_equations(p, jtj, jtr);
  for (int evaluations = 1; evaluations < mostEvaluations;) {
    bool stepped = false;
    while (evaluations < mostEvaluations && damping < kMostDamping) {
      Eigen::MatrixXd a = jtj;
      for (int k = 0; k < a.rows(); ++k) a(k, k) += damping * std::max(jtj(k, k), 1e-30);
      const Eigen::VectorXd step = a.ldlt().solve(-jtr);
      const Eigen::VectorXd next = p + step;
      ++evaluations;
      const double tried = step.allFinite() ? model.chi_square(next) : std::numeric_limits<double>::infinity();
      if (tried < chiSquare) {
        const bool enough = chiSquare - tried <= std::max(kEnough * chiSquare, kInsignificant);
        p = next;
        damping = std::max(kLeastDamping, damping / 10);
        if (enough) return p;
        chiSquare = model.normal_equations(p, jtj, jtr);
        ++evaluations;
        stepped = true;
        break;
      }
      damping *= 10;
    }
    if (!stepped) break;
  }
  return p;
}

}  // namespace

Stretch::Stretch(const processing::Spectrum& s, std::size_t from, std::size_t to, double noise) : from_(from), noise_(noise) {
  to = std::min(to, s.points.size());
  for (std::size_t i = from; i < to; ++i) {
    const double y = s.points[i];
    hz_.push_back(s.hz_at(static_cast<double>(i)));
    y_.push_back(y);
    const double sigma = std::sqrt(noise * noise + kShapeTrust * kShapeTrust * y * y);
    weight_.push_back(sigma > 0 ? 1 / sigma : 1);
  }
}

Stretch Stretch::part(double highHz, double lowHz) const {
  Stretch p;
  p.noise_ = noise_;
  for (std::size_t i = 0; i < hz_.size(); ++i) {
    if (hz_[i] > highHz || hz_[i] < lowHz) continue;
    if (p.hz_.empty()) p.from_ = from_ + i;
    p.hz_.push_back(hz_[i]);
    p.y_.push_back(y_[i]);
    p.weight_.push_back(weight_[i]);
  }
  return p;
}

std::vector<double> model_values(const Stretch& st, const RegionModel& model) {
  std::vector<double> values(st.size(), 0);
  for (std::size_t i = 0; i < st.size(); ++i) values[i] = baseline_at(st, model, i);
  for (const ModelMultiplet& m : model.multiplets) add_multiplet(st, m, sticks_of(m.groups), model.lorentzian, model.phase, values);
  return values;
}

std::vector<double> integrals(const Stretch& st, const RegionModel& model, double hzPerPoint) {
  const std::size_t n = model.multiplets.size();
  std::vector<std::vector<double>> own(n, std::vector<double>(st.size(), 0));
  std::vector<double> total(st.size(), 0);
  for (std::size_t i = 0; i < st.size(); ++i) total[i] = baseline_at(st, model, i);
  for (std::size_t m = 0; m < n; ++m) {
    add_multiplet(st, model.multiplets[m], sticks_of(model.multiplets[m].groups), model.lorentzian, model.phase, own[m]);
    for (std::size_t i = 0; i < st.size(); ++i) total[i] += own[m][i];
  }
  std::vector<double> sum(n, 0);
  for (std::size_t m = 0; m < n; ++m) {
    sum[m] = model.multiplets[m].area;
    for (std::size_t i = 0; i < st.size(); ++i) {
      const double lines = total[i] - baseline_at(st, model, i);
      sum[m] += (st.y(i) - total[i]) * own[m][i] / (std::fabs(lines) + st.noise()) * hzPerPoint;
    }
  }
  return sum;
}

double chi_square(const Stretch& st, const RegionModel& model) {
  const std::vector<double> values = model_values(st, model);
  double sum = 0;
  for (std::size_t i = 0; i < st.size(); ++i) {
    const double r = (values[i] - st.y(i)) * st.weight(i);
    sum += r * r;
  }
  return sum;
}

Fitted fit(const Stretch& st, RegionModel start, const FitOptions& options) {
  const Model model(st, start, options);
  Fitted out;
  out.parameters = static_cast<std::size_t>(model.count());
  if (st.size() > out.parameters) {
    out.model = model.model_of(minimised(model, model.parameters(), options.mostEvaluations));
  } else {
    out.model = std::move(start);
  }
  for (ModelMultiplet& m : out.model.multiplets) {
    for (CouplingGroup& g : m.groups) g.hz = std::fabs(g.hz);
  }
  out.chiSquare = chi_square(st, out.model);
  return out;
}

}  // namespace analysis
