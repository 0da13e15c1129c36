// The lines of a spectrum of a decoupled nucleus.
#include "analysis/decoupled_lines.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/solvents.hpp"
#include "processing/lines.hpp"
#include "processing/reference_lines.hpp"

namespace analysis {
namespace {

constexpr double kLineSigmas = 5;
constexpr double kNarrowest = 0.5;        // of the typical line's width
constexpr double kSolventReachPpm = 2;    // from its place, should the axis stand on no solvent
constexpr double kLeastMatch = 0.8;       // as the referencing asks of the solvent's pattern
constexpr double kOtherCarbonPpm = 0.1;
constexpr double kTmsPpm = 0.1;
// Of the tallest line, for nuclei whose spectra keep their couplings to each other (19F,
// 31P): below it stand the satellites and the wiggles of their tall lines, not the compound.
constexpr double kCoupledShare = 0.01;

// Where the solvent's carbon multiplet's centre lies: where the referencing put it, else
// where its pattern matches best near its place.
std::optional<double> solvent_centre(const processing::Spectrum& s, const common::ResidualLine& carbon, double least, double width) {
  if (s.referencing.kind == processing::Reference::Solvent) return s.referencing.index;
  const processing::LinePattern pattern = processing::deuterium_pattern(carbon.deuterons, carbon.couplingHz);
  std::optional<processing::PatternMatch> best;
  for (const processing::PatternMatch& m : processing::pattern_matches(s, pattern, s.index_of(carbon.ppm + kSolventReachPpm),
                                                                        s.index_of(carbon.ppm - kSolventReachPpm), least, width)) {
    if (m.correlation >= kLeastMatch && (!best || m.correlation > best->correlation)) best = m;
  }
  return best ? std::optional<double>(best->index) : std::nullopt;
}

}  // namespace

std::vector<double> decoupled_lines(const processing::Spectrum& s) {
  const double tallest = *std::max_element(s.points.begin(), s.points.end());
  const double least = std::max(kLineSigmas * s.noise, s.nucleus == "13C" ? 0.0 : kCoupledShare * tallest);
  const double width = processing::typical_width_hz(s.points, s.hzPerPoint, least);
  std::vector<processing::Line> lines = processing::lines_in(s.points, 0, s.points.size(), least);
  std::erase_if(lines, [&](const processing::Line& l) { return 2 * l.halfWidth * s.hzPerPoint < kNarrowest * width; });
  // What is not the compound's: each excluded stretch, as point indices.
  std::vector<std::pair<double, double>> excluded;
  const double tolerance = std::max(1.0, width / s.hzPerPoint);
  const auto exclude_ppm = [&](double ppm, double reach) { excluded.push_back({s.index_of(ppm + reach), s.index_of(ppm - reach)}); };
  if (s.in_ppm()) {
    exclude_ppm(0, kTmsPpm);
    const common::Solvent* solvent = common::solvent_named(s.solvent);
    if (solvent && s.nucleus == "13C" && solvent->carbon.ppm != 0) {
      const common::ResidualLine& c = solvent->carbon;
      if (const auto centre = solvent_centre(s, c, least, width)) {
        const processing::LinePattern pattern = processing::deuterium_pattern(c.deuterons, c.couplingHz);
        for (const double offset : pattern.offsetsHz) {
          const double at = *centre - offset / s.hzPerPoint;  // higher frequencies lie at lower indices
          excluded.push_back({at - tolerance, at + tolerance});
        }
      }
      for (const double ppm : solvent->otherCarbonsPpm) {
        if (ppm != 0) exclude_ppm(ppm, kOtherCarbonPpm);
      }
    }
  }
  std::vector<double> shifts;
  for (const processing::Line& l : lines) {
    const bool theirs = std::any_of(excluded.begin(), excluded.end(), [&](const auto& e) { return l.index >= e.first && l.index <= e.second; });
    if (!theirs) shifts.push_back(s.axis_at(l.index));
  }
  return shifts;  // by falling frequency: high to low already
}

}  // namespace analysis
