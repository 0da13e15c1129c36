// TMS's line and the solvent's residual line in a stretch of a 1H spectrum.
#include "analysis/reference_seeds.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/solvents.hpp"
#include "processing/reference_lines.hpp"

namespace analysis {
namespace {

constexpr double kReachPpm = 0.03;     // from its place, once the axis is referenced
constexpr double kLeastMatch = 0.8;    // as the referencing asks of its pattern
constexpr double kLineSigmas = 10;

// The pattern's lines where it matches best near ppm, taken from the lines.
void seed(const processing::Spectrum& s, Span stretch, double ppm, const processing::LinePattern& pattern, std::vector<FoundLine>& lines,
          double widthHz, double toleranceHz, double noise, std::vector<ModelMultiplet>& seeded) {
  const double least = kLineSigmas * noise;
  const double from = std::max(static_cast<double>(stretch.from), s.index_of(ppm + kReachPpm));
  const double to = std::min(static_cast<double>(stretch.to) - 1, s.index_of(ppm - kReachPpm));
  if (from >= to) return;
  std::optional<processing::PatternMatch> best;
  for (const processing::PatternMatch& m : processing::pattern_matches(s, pattern, from, to, least, widthHz)) {
    if (m.correlation < kLeastMatch || (pattern.offsetsHz.size() == 1 && processing::has_partner(s, m, least))) continue;
    if (!best || m.correlation > best->correlation) best = m;
  }
  if (!best) return;
  const double centre = s.hz_at(best->index);
  const auto nearest = [&](double hz) {
    std::optional<std::size_t> on;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (std::fabs(lines[i].hz - hz) <= toleranceHz && (!on || std::fabs(lines[i].hz - hz) < std::fabs(lines[*on].hz - hz))) on = i;
    }
    return on;
  };
  // Scaled to its middle line, the tallest of each pattern.
  const auto middle = nearest(centre);
  if (!middle) return;
  const double heaviest = *std::max_element(pattern.weights.begin(), pattern.weights.end());
  const double scale = lines[*middle].amount / heaviest;
  for (std::size_t k = 0; k < pattern.offsetsHz.size(); ++k) {
    const double hz = centre + pattern.offsetsHz[k];
    const auto on = nearest(hz);
    const double amount = std::min(scale * pattern.weights[k], on ? lines[*on].amount : 0.0);
    if (on) {
      lines[*on].amount -= amount;
      lines[*on].underReference = true;
    }
    ModelMultiplet line;
    line.centreHz = on ? lines[*on].hz : hz;
    line.area = amount;
    line.widthHz = best->widthHz;
    line.loose = line.reference = true;
    seeded.push_back(line);
  }
}

}  // namespace

std::vector<ModelMultiplet> seed_references(const processing::Spectrum& s, Span stretch, std::vector<FoundLine>& lines,
                                            double widthHz, double toleranceHz, double noise) {
  std::vector<ModelMultiplet> seeded;
  if (!s.in_ppm()) return seeded;
  seed(s, stretch, 0, processing::deuterium_pattern(0, 0), lines, widthHz, toleranceHz, noise, seeded);
  if (const common::Solvent* solvent = common::solvent_named(s.solvent); solvent && solvent->proton.ppm != 0) {
    const common::ResidualLine& r = solvent->proton;
    seed(s, stretch, r.ppm, processing::deuterium_pattern(r.deuterons, r.couplingHz), lines, widthHz, toleranceHz, noise, seeded);
  }
  return seeded;
}

}  // namespace analysis
