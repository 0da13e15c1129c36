// Where 0 ppm lies.
#include "processing/referencing.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/solvents.hpp"
#include "processing/lines.hpp"
#include "processing/noise.hpp"

namespace processing {
namespace {

constexpr double kSearchPpm = 0.1;     // how far from its place a reference line may lie
constexpr double kQuintetPpm = 0.01;   // a quintet's centre, from its line nearest the place
constexpr double kLineSigmas = 10;     // a reference line stands this far above the noise
constexpr double kSharpness = 2;       // TMS is no wider than twice the median line
constexpr double kAloneHz = 10;        // and has no line of a third of its height this near
constexpr double kAloneShare = 1.0 / 3;

// The lines within kSearchPpm of a shift on the current axis.
std::vector<Line> lines_near(const Spectrum& s, double ppm, double least) {
  const double a = s.index_of(ppm + kSearchPpm), b = s.index_of(ppm - kSearchPpm);
  const auto n = static_cast<double>(s.points.size());
  const auto from = static_cast<std::size_t>(std::clamp(std::floor(a), 0.0, n));
  const auto to = static_cast<std::size_t>(std::clamp(std::ceil(b) + 1, 0.0, n));
  return lines_in(s.points, from, to, least);
}

// Moves the axis so that the point at index reads ppm.
void set_shift(Spectrum& s, double index, double ppm) { s.firstHz += ppm * s.frequencyMHz - s.hz_at(index); }

// The lines at least a share of the tallest point high: whose widths are the spectrum's
// own, not the noise's.
constexpr double kTypicalShare = 0.05;

bool found_tms(Spectrum& s, double least) {
  const std::vector<Line> near = lines_near(s, 0, least);
  if (near.empty()) return false;
  const double tallest = *std::max_element(s.points.begin(), s.points.end());
  std::vector<double> widths;
  for (const Line& l : lines_in(s.points, 0, s.points.size(), std::max(least, kTypicalShare * tallest))) {
    widths.push_back(l.halfWidth);
  }
  const double typical = widths.empty() ? 0 : median_of(widths);
  const auto alone = static_cast<std::size_t>(std::lround(kAloneHz / s.hzPerPoint));
  const Line* tms = nullptr;
  for (const Line& l : near) {
    const auto at = static_cast<std::size_t>(std::lround(l.index));
    const std::vector<Line> around =
        lines_in(s.points, at > alone ? at - alone : 0, std::min(s.points.size(), at + alone + 1), kAloneShare * l.height);
    const bool single = std::none_of(around.begin(), around.end(), [&](const Line& other) { return std::fabs(other.index - l.index) > 0.5; });
    const bool sharp = l.halfWidth <= kSharpness * typical;
    if (sharp && single && (!tms || l.height > tms->height)) tms = &l;
  }
  if (!tms) return false;
  set_shift(s, tms->index, 0);
  return true;
}

bool found_solvent(Spectrum& s, double least) {
  const common::Solvent* solvent = common::solvent_named(s.solvent);
  if (!solvent) return false;
  const double place = s.nucleus == "13C" ? solvent->carbonPpm : s.nucleus == "1H" ? solvent->protonPpm : 0;
  if (place == 0) return false;
  const std::vector<Line> near = lines_near(s, place, least);
  if (near.empty()) return false;
  const auto distance = [&](const Line& l) { return std::fabs(s.axis_at(l.index) - place); };
  const Line* chosen = &*std::min_element(near.begin(), near.end(), [&](const Line& a, const Line& b) { return distance(a) < distance(b); });
  if (solvent->protonLines > 1 && s.nucleus == "1H") {
    const double around = s.axis_at(chosen->index);
    for (const Line& l : near) {
      if (std::fabs(s.axis_at(l.index) - around) <= kQuintetPpm && l.height > chosen->height) chosen = &l;
    }
  }
  set_shift(s, chosen->index, place);
  return true;
}

}  // namespace

void reference(Spectrum& s, std::optional<double> operatorMHz, double noise) {
  if (!s.in_ppm()) return;
  if (operatorMHz && *operatorMHz > 0) {
    // The same points, counted from the operator's 0 ppm instead of the base frequency.
    s.firstHz += (s.frequencyMHz - *operatorMHz) * 1e6;
    s.frequencyMHz = *operatorMHz;
    s.reference = Reference::Operator;
    return;
  }
  const double least = kLineSigmas * noise;
  if (found_tms(s, least)) {
    s.reference = Reference::Tms;
  } else if (found_solvent(s, least)) {
    s.reference = Reference::Solvent;
  }
}

}  // namespace processing
