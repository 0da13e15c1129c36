// What a chemist reads off a spectrum.
#include "analysis/analysis.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/assembly.hpp"
#include "analysis/decoupled_lines.hpp"
#include "analysis/enhancement.hpp"
#include "analysis/integrals.hpp"
#include "analysis/line_shape.hpp"
#include "analysis/partners.hpp"
#include "analysis/reference_seeds.hpp"
#include "analysis/region_fit.hpp"
#include "analysis/stretches.hpp"
#include "analysis/structure.hpp"
#include "common/solvents.hpp"
#include "processing/lines.hpp"
#include "processing/noise.hpp"
#include "processing/reference_lines.hpp"

namespace analysis {
namespace {

constexpr double kStretchSigmas = 5;
constexpr double kStretchShare = 0.002;      // of the tallest point
constexpr double kLineSigmas = 5;            // in the enhanced spectrum
constexpr double kLineShare = 0.005;         // of its stretch's tallest enhanced point
constexpr double kMarginWidths = 8;          // of baseline fitted beside a stretch
constexpr double kNarrowestLine = 0.3;       // of the enhanced width: narrower maxima are wiggles
constexpr double kToleranceWidths = 0.35;    // of the width: where a tree's line may lie off a line (second order moves lines)
constexpr double kLeastToleranceHz = 0.3;
constexpr double kNameWithinHz = 0.5;        // couplings this close are named as one
constexpr double kPointsPerWidth = 8;        // of a line's width: the finest points analysed
constexpr double kSmallestCouplingHz = 0.5;
constexpr double kSmallestCouplingWidths = 0.4;  // of the lines' width: a smaller coupling is their shape
constexpr std::size_t kCandidateTrees = 4;   // of the trees its lines make, those fitted to a multiplet
constexpr double kFitsWell = 1.5;            // chi-square per degree of freedom of a stretch left as it is
constexpr double kLargestCouplingHz = 20;    // loose lines further apart are different "m"s
constexpr double kWaterPpm = 0.15;           // water moves with temperature and concentration
constexpr double kImpurityShare = 0.01;      // of all integrals: below it, not the compound's
constexpr std::size_t kSearchSteps = std::size_t{1} << 24;  // the trees' searches of a whole spectrum, together

struct Context {
  const processing::Spectrum& s;         // what is analysed
  const processing::Spectrum& original;  // the spectrum whose points the multiplets name
  double noise = 0;
  double widthHz = 1;          // the typical line's full width
  double enhancedWidthHz = 1;  // and in the enhanced spectrum
  double toleranceHz = 0.3;
  double smallestCouplingHz = 0.5;  // below it, a coupling cannot be told from the lines' shape
  // The lines' shape (their Lorentzian share), one for the whole spectrum: as the last
  // stretch that fitted well found it, where the next stretch's fit starts.
  double lorentzian = RegionModel{}.lorentzian;
  SearchBudget budget{kSearchSteps};
};

double ppm_of(const processing::Spectrum& s, double hz) { return s.in_ppm() ? hz / s.frequencyMHz : hz; }

// The point nearest hz, within the spectrum.
std::size_t point_at(const processing::Spectrum& s, double hz) {
  const double i = (s.firstHz - hz) / s.hzPerPoint;
  return static_cast<std::size_t>(std::clamp(std::round(i), 0.0, static_cast<double>(s.points.size())));
}

// A multiplet as the report gives it, from its place and extent in Hz.
Multiplet multiplet_at(const Context& c, double highHz, double lowHz, double shiftHz, double integral, double tallest) {
  Multiplet m;
  m.shift = ppm_of(c.s, shiftHz);
  m.high = ppm_of(c.s, highHz);
  m.low = ppm_of(c.s, lowHz);
  m.from = point_at(c.original, highHz + c.widthHz);
  m.to = std::min(c.original.points.size(), point_at(c.original, lowHz - c.widthHz) + 1);
  m.integral = integral;
  m.tallest = tallest;
  return m;
}

// The fitted multiplets of a stretch as the report names them; loose lines near each
// other as one "m".
void name_multiplets(const Context& c, const RegionModel& model, const std::vector<double>& integrals, std::vector<Multiplet>& out) {
  std::vector<std::pair<const ModelMultiplet*, double>> loose;
  for (std::size_t k = 0; k < model.multiplets.size(); ++k) {
    const ModelMultiplet& mm = model.multiplets[k];
    if (mm.reference || !(mm.area > 0)) continue;
    const double top = mm.area * top_of(mm.widthHz, model.lorentzian);
    if (mm.loose) {
      loose.push_back({&mm, integrals[k]});
      continue;
    }
    const double half = half_extent(mm.groups);
    Multiplet m = multiplet_at(c, mm.centreHz + half, mm.centreHz - half, mm.centreHz, integrals[k], top);
    const std::vector<CouplingGroup> named = joined(mm.groups, kNameWithinHz);
    m.pattern = pattern_name(named);
    if (named.empty() && mm.widthHz > kBroadLine * c.widthHz) m.pattern = "br s";
    for (const CouplingGroup& g : named) m.couplings.push_back(g.hz);
    out.push_back(std::move(m));
  }
  std::sort(loose.begin(), loose.end(), [](const auto& a, const auto& b) { return a.first->centreHz > b.first->centreHz; });
  for (std::size_t k = 0; k < loose.size();) {
    std::size_t last = k;
    double integral = loose[k].second, tallest = 0;
    while (last + 1 < loose.size() && loose[last].first->centreHz - loose[last + 1].first->centreHz <= kLargestCouplingHz) {
      integral += loose[++last].second;
    }
    for (std::size_t i = k; i <= last; ++i) tallest = std::max(tallest, loose[i].first->area * top_of(loose[i].first->widthHz, model.lorentzian));
    const double high = loose[k].first->centreHz, low = loose[last].first->centreHz;
    Multiplet m = multiplet_at(c, high, low, (high + low) / 2, integral, tallest);
    m.pattern = last == k ? (loose[k].first->widthHz > kBroadLine * c.widthHz ? "br s" : "s") : "m";
    out.push_back(std::move(m));
    k = last + 1;
  }
}

// A stretch's lines in the enhanced spectrum, taken apart into multiplets and fitted.
RegionModel fitted_stretch(Context& c, const Enhancement& enhancement, double enhancedNoise, Span span) {
  const std::vector<double> e = enhancement.of(c.s, span.from, span.to);
  const double top = e.empty() ? 0 : *std::max_element(e.begin(), e.end());
  std::vector<FoundLine> lines;
  const double least = std::max(kLineSigmas * enhancedNoise, kLineShare * top);
  for (const EnhancedLine& l : enhanced_lines(e, least)) {
    if (l.width * c.s.hzPerPoint < kNarrowestLine * c.enhancedWidthHz) continue;
    lines.push_back({c.s.hz_at(static_cast<double>(span.from) + l.index), l.area * c.s.hzPerPoint});
  }
  const std::vector<FoundLine> found = lines;
  RegionModel model;
  model.lorentzian = c.lorentzian;
  model.multiplets = seed_references(c.s, span, lines, c.widthHz, c.toleranceHz, c.noise);
  SearchLimits limits{c.toleranceHz};
  limits.smallestHz = c.smallestCouplingHz;
  limits.budget = &c.budget;
  for (ModelMultiplet& m : assemble(lines, least * c.enhancedWidthHz, c.widthHz, limits)) model.multiplets.push_back(std::move(m));
  if (model.multiplets.empty()) return model;
  const Stretch stretch(c.s, span.from, span.to, c.noise);
  // The shape waits for the trees: a tree with a coupling missing would make it its own.
  const FitOptions shapeHeld{.held = {}, .shape = false, .phase = true};
  Fitted f = fit(stretch, model, shapeHeld);
  // Multiplets the fit gave no area are not there.
  const auto before = f.model.multiplets.size();
  std::erase_if(f.model.multiplets, [](const ModelMultiplet& m) { return !(m.area > 0); });
  if (f.model.multiplets.size() != before && !f.model.multiplets.empty()) f = fit(stretch, f.model, shapeHeld);
  // Trees that fit within the noise and what a model can follow are what they seem.
  const auto fits_well = [&](const Fitted& fitted) {
    return fitted.chiSquare <= kFitsWell * static_cast<double>(stretch.size() - std::min(stretch.size() - 1, fitted.parameters));
  };
  if (!fits_well(f)) {
    Growth growth;
    growth.smallestHz = c.smallestCouplingHz;
    f = simplest_structures({stretch, found, limits, kCandidateTrees, growth}, std::move(f));
  }
  f = fit(stretch, f.model);
  // The shape let free may make a coupling narrower than the lines tell: without it.
  bool narrowed = false;
  for (ModelMultiplet& m : f.model.multiplets) {
    narrowed |= std::erase_if(m.groups, [&](const CouplingGroup& g) { return g.hz < c.smallestCouplingHz; }) > 0;
  }
  if (narrowed) f = fit(stretch, f.model);
  if (fits_well(f)) c.lorentzian = f.model.lorentzian;
  return f.model;
}

// TMS, or the water dissolved in the solvent: not the compound's.
bool not_the_compounds(const processing::Spectrum& s, const Multiplet& m) {
  if (!s.in_ppm()) return false;
  const common::Solvent* solvent = common::solvent_named(s.solvent);
  const bool singlet = m.pattern == "s" || m.pattern == "br s";
  return solvent && singlet && std::fabs(m.shift - solvent->waterPpm) <= kWaterPpm;
}

// The spectrum with points kept no finer than a line needs: each run of factor points
// their mean, at the run's middle; its noise as the mean's.
processing::Spectrum binned(const processing::Spectrum& s, std::size_t factor) {
  processing::Spectrum b = s;
  b.points.assign(s.points.size() / factor, 0);
  for (std::size_t j = 0; j < b.points.size(); ++j) {
    double sum = 0;
    for (std::size_t k = 0; k < factor; ++k) sum += s.points[j * factor + k];
    b.points[j] = sum / static_cast<double>(factor);
  }
  b.hzPerPoint = s.hzPerPoint * static_cast<double>(factor);
  b.firstHz = s.hz_at((static_cast<double>(factor) - 1) / 2);
  b.noise = s.noise / std::sqrt(static_cast<double>(factor));
  return b;
}

Analysis proton_analysis(const processing::Spectrum& original, std::optional<int> protons) {
  Analysis a;
  a.noise = original.noise;
  const double width = processing::typical_width_hz(original.points, original.hzPerPoint, 10 * original.noise);
  // Finer points than a line needs cost fitting time and tell nothing more.
  const auto factor = static_cast<std::size_t>(std::max(1.0, std::floor(width / kPointsPerWidth / original.hzPerPoint)));
  const processing::Spectrum coarser = factor > 1 ? binned(original, factor) : processing::Spectrum{};
  const processing::Spectrum& s = factor > 1 ? coarser : original;
  Context c{s, original, s.noise};
  if (width > 0) c.widthHz = width;
  const Enhancement enhancement(c.widthHz, s.hzPerPoint);
  c.enhancedWidthHz = enhancement.width_hz();
  const double enhancedNoise = enhancement.noise_of(s);
  c.toleranceHz = std::max({kLeastToleranceHz, kToleranceWidths * c.widthHz, s.hzPerPoint});
  c.smallestCouplingHz = std::max(kSmallestCouplingHz, kSmallestCouplingWidths * c.widthHz);
  const double tallest = *std::max_element(s.points.begin(), s.points.end());
  const auto points = [&](double hz) { return static_cast<std::size_t>(std::ceil(hz / s.hzPerPoint)); };
  std::vector<Multiplet> all;
  // Stretches nearer than the largest coupling may hold one multiplet's lines.
  for (const Span& span : signal_stretches(s.points, std::max(kStretchSigmas * s.noise, kStretchShare * tallest), points(kLargestCouplingHz),
                                          points(kMarginWidths * c.widthHz))) {
    const RegionModel model = fitted_stretch(c, enhancement, enhancedNoise, span);
    name_multiplets(c, model, integrals(Stretch(s, span.from, span.to, s.noise), model, s.hzPerPoint), all);
  }
  double total = 0;
  std::erase_if(all, [&](const Multiplet& m) { return not_the_compounds(s, m); });
  for (const Multiplet& m : all) total += m.integral;
  std::erase_if(all, [&](const Multiplet& m) { return m.integral < kImpurityShare * total; });
  a.measured = std::move(all);
  return recounted(original, std::move(a), protons);
}

}  // namespace

Analysis recounted(const processing::Spectrum& s, Analysis a, std::optional<int> protons) {
  std::vector<Multiplet> all = a.measured;
  count_protons(all, protons);
  if (partnerless_split(all, s)) count_protons(all, protons);
  a.multiplets.clear();
  for (Multiplet& m : all) {
    if (m.protons >= 1) a.multiplets.push_back(std::move(m));
  }
  std::sort(a.multiplets.begin(), a.multiplets.end(), [](const Multiplet& x, const Multiplet& y) { return x.shift > y.shift; });
  return a;
}

Analysis analyse(const processing::Spectrum& s, std::optional<int> protons) {
  if (s.points.size() < 3) return {};
  if (s.nucleus == "1H") return proton_analysis(s, protons);
  Analysis a;
  a.noise = s.noise;
  a.lines = decoupled_lines(s);
  return a;
}

}  // namespace analysis
