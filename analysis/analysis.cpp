// What a chemist reads off a spectrum.
#include "analysis/analysis.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/solvents.hpp"
#include "processing/lines.hpp"
#include "analysis/multiplets.hpp"
#include "processing/noise.hpp"

namespace analysis {
namespace {

constexpr double kStretchSigmas = 5;
constexpr double kStretchShare = 0.002;      // of the tallest point
constexpr double kLineSigmas = 5;
constexpr double kLineShare = 1.0 / 30;      // of its stretch's tallest point
constexpr double kMainLineShare = 0.3;       // of its tallest: a multiplet's main lines
constexpr double kMarginWidths = 5;          // integrated beyond the outer lines, in half widths
constexpr double kTmsPpm = 0.02;
constexpr double kSolventPpm = 0.05;
constexpr double kQuintetHz = 20;            // the widest a solvent's CHD2 quintet stands, with a
                                             // neighbour that runs into it
constexpr double kWaterPpm = 0.15;           // water moves with temperature and concentration
constexpr double kImpurityShare = 0.01;      // of all integrals: below it, not the compound's
constexpr double kWholeWithin = 0.15;        // protons integrals may lie off whole numbers
constexpr int kMostInSmallest = 8;           // protons the smallest sharp multiplet may hold
constexpr double kOtherLineSigmas = 6;
constexpr double kOtherLineShare = 0.01;
constexpr double kOtherTmsPpm = 0.1;
constexpr double kOtherSolventPpm = 0.5;

// A stretch of points above the noise, and its lines (by falling frequency).
struct Stretch {
  std::size_t from = 0, to = 0;
  std::vector<processing::Line> lines;
};

std::vector<Stretch> stretches_of(const processing::Spectrum& s, double noise) {
  const auto& y = s.points;
  const double tallest = *std::max_element(y.begin(), y.end());
  const double above = std::max(kStretchSigmas * noise, kStretchShare * tallest);
  std::vector<Stretch> found;
  for (std::size_t i = 0; i < y.size();) {
    if (y[i] <= above) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < y.size() && y[j] > above) ++j;
    const std::size_t from = i > 0 ? i - 1 : 0, to = std::min(y.size(), j + 1);
    const double top = *std::max_element(y.begin() + static_cast<std::ptrdiff_t>(from), y.begin() + static_cast<std::ptrdiff_t>(to));
    const std::vector<processing::Line> lines = processing::lines_in(y, from, to, std::max(kLineSigmas * noise, kLineShare * top));
    // Lines further apart than any coupling belong to different multiplets, however the
    // wing of one (a broad line's) runs into the other: split at the lowest point between.
    std::size_t start = from, first = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const bool apart = k + 1 == lines.size() || (lines[k + 1].index - lines[k].index) * s.hzPerPoint > kLargestCouplingHz;
      if (!apart) continue;
      std::size_t end = to;
      if (k + 1 < lines.size()) {
        const auto a = static_cast<std::ptrdiff_t>(std::lround(lines[k].index)), b = static_cast<std::ptrdiff_t>(std::lround(lines[k + 1].index));
        end = static_cast<std::size_t>(std::min_element(y.begin() + a, y.begin() + b) - y.begin()) + 1;
      }
      found.push_back({start, end, std::vector<processing::Line>(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.begin() + static_cast<std::ptrdiff_t>(k) + 1)});
      start = end - 1, first = k + 1;
    }
    i = j;
  }
  return found;
}

double median_half_width(const std::vector<processing::Line>& lines) {
  std::vector<double> widths;
  for (const processing::Line& l : lines) widths.push_back(l.halfWidth);
  return processing::median_of(widths);
}

// Stretches first to last made one multiplet, named; "m" when the lines fit no pattern.
Multiplet multiplet_of(const processing::Spectrum& s, const std::vector<Stretch>& st, std::size_t first, std::size_t last,
                       double typicalHalfWidth) {
  Multiplet m;
  m.from = st[first].from;
  m.to = st[last].to;
  std::vector<processing::Line> lines;
  for (std::size_t k = first; k <= last; ++k) lines.insert(lines.end(), st[k].lines.begin(), st[k].lines.end());
  for (const processing::Line& l : lines) m.tallest = std::max(m.tallest, l.height);
  m.high = s.axis_at(lines.front().index);
  m.low = s.axis_at(lines.back().index);
  const double halfWidth = median_half_width(lines);
  if (lines.size() == 1) {
    m.pattern = halfWidth > kBroadLine * typicalHalfWidth ? "br s" : "s";
    m.shift = m.high;
    return m;
  }
  // Rising frequency, as the pattern is looked for.
  std::vector<double> hz, y, lineHz;
  for (std::size_t i = m.to; i-- > m.from;) {
    hz.push_back(s.hz_at(static_cast<double>(i)));
    y.push_back(s.points[i]);
  }
  for (auto l = lines.rbegin(); l != lines.rend(); ++l) lineHz.push_back(s.hz_at(l->index));
  Pattern p = first_order_pattern(hz, y, lineHz, halfWidth * s.hzPerPoint);
  if (p.name == "m") {
    // Small maxima beside a multiplet's lines (a wiggle, an impurity's line) may be no
    // part of it: its main lines alone.
    std::vector<double> mainHz;
    for (auto l = lines.rbegin(); l != lines.rend(); ++l) {
      if (l->height >= kMainLineShare * m.tallest) mainHz.push_back(s.hz_at(l->index));
    }
    if (mainHz.size() >= 2 && mainHz.size() < lineHz.size()) p = first_order_pattern(hz, y, mainHz, halfWidth * s.hzPerPoint);
  }
  m.pattern = p.name;
  m.couplings = p.couplings;
  m.shift = p.name == "m" ? (m.high + m.low) / 2 : (s.in_ppm() ? p.centreHz / s.frequencyMHz : p.centreHz);
  return m;
}

// Neighbouring stretches whose lines lie within the largest coupling of each other, taken
// as one multiplet when together they fit a pattern; each on its own otherwise.
std::vector<Multiplet> multiplets_of(const processing::Spectrum& s, const std::vector<Stretch>& st) {
  std::vector<processing::Line> all;
  for (const Stretch& k : st) all.insert(all.end(), k.lines.begin(), k.lines.end());
  const double typical = median_half_width(all);
  std::vector<Multiplet> found;
  for (std::size_t first = 0; first < st.size();) {
    std::size_t last = first;
    while (last + 1 < st.size() &&
           s.hz_at(st[last].lines.back().index) - s.hz_at(st[last + 1].lines.front().index) <= kLargestCouplingHz) {
      ++last;
    }
    Multiplet joined = multiplet_of(s, st, first, last, typical);
    if (last == first || joined.pattern != "m") {
      found.push_back(std::move(joined));
    } else {
      for (std::size_t k = first; k <= last; ++k) found.push_back(multiplet_of(s, st, k, k, typical));
    }
    first = last + 1;
  }
  // Integrated beyond the outer lines by a margin, but no further than halfway to the
  // next multiplet.
  for (std::size_t k = 0; k < found.size(); ++k) {
    Multiplet& m = found[k];
    const auto margin = static_cast<std::size_t>(std::lround(kMarginWidths * typical)) + 1;
    std::size_t from = m.from > margin ? m.from - margin : 0;
    std::size_t to = std::min(s.points.size(), m.to + margin);
    if (k > 0) from = std::max(from, (found[k - 1].to + m.from) / 2);
    if (k + 1 < found.size()) to = std::min(to, (m.to + found[k + 1].from) / 2);
    m.integral = std::accumulate(s.points.begin() + static_cast<std::ptrdiff_t>(from),
                                 s.points.begin() + static_cast<std::ptrdiff_t>(to), 0.0) * s.hzPerPoint;
  }
  return found;
}

// TMS, the residual protons of the solvent the spectrum was taken in, or the water in it.
bool reference_or_solvent(const processing::Spectrum& s, const Multiplet& m) {
  if (!s.in_ppm()) return false;
  const bool singlet = m.pattern == "s" || m.pattern == "br s";
  if (m.pattern == "s" && std::fabs(m.shift) <= kTmsPpm) return true;
  const common::Solvent* solvent = common::solvent_named(s.solvent);
  if (!solvent) return false;
  if (singlet && std::fabs(m.shift - solvent->waterPpm) <= kWaterPpm) return true;
  if (std::fabs(m.shift - solvent->proton.ppm) > kSolventPpm) return false;
  // A singlet, or a CHD2 group's quintet (J(H,D) about 2 Hz: too fine to be named at times).
  return solvent->proton.deuterons == 0 ? singlet : (m.high - m.low) * s.frequencyMHz <= kQuintetHz;
}


// The integral of one proton: from the total given, else the smallest count for the
// smallest sharp multiplet that makes the sharp ones nearly whole (their integrals off
// whole numbers by kWholeWithin at most, root mean square), else that one as one proton.
double proton_integral(const std::vector<Multiplet>& ms, std::optional<int> protons) {
  double total = 0, smallest = 0;
  for (const Multiplet& m : ms) {
    total += m.integral;
    if (m.pattern != "br s" && (smallest == 0 || m.integral < smallest)) smallest = m.integral;
  }
  if (protons && *protons > 0) return total / *protons;
  if (!(smallest > 0)) return ms.empty() ? 1 : total / static_cast<double>(ms.size());
  for (int n = 1; n <= kMostInSmallest; ++n) {
    const double unit = smallest / n;
    double squares = 0, count = 0;
    for (const Multiplet& m : ms) {
      if (m.pattern == "br s") continue;
      const double p = m.integral / unit;
      squares += (p - std::round(p)) * (p - std::round(p));
      ++count;
    }
    if (std::sqrt(squares / count) <= kWholeWithin) return unit;
  }
  // None makes them whole (overlapping multiplets, a line under another's).
  return smallest;
}

Analysis proton_analysis(const processing::Spectrum& s, double noise, std::optional<int> protons) {
  Analysis a;
  a.noise = noise;
  std::vector<Multiplet> all = multiplets_of(s, stretches_of(s, noise));
  std::vector<Multiplet> kept;
  double total = 0;
  for (Multiplet& m : all) {
    if (reference_or_solvent(s, m)) continue;
    total += m.integral;
    kept.push_back(std::move(m));
  }
  std::erase_if(kept, [&](const Multiplet& m) { return m.integral < kImpurityShare * total; });
  const double unit = proton_integral(kept, protons);
  for (Multiplet& m : kept) {
    m.protons = static_cast<int>(std::lround(m.integral / unit));
    if (m.protons >= 1) a.multiplets.push_back(std::move(m));
  }
  std::sort(a.multiplets.begin(), a.multiplets.end(), [](const Multiplet& x, const Multiplet& y) { return x.shift > y.shift; });
  return a;
}

Analysis other_analysis(const processing::Spectrum& s, double noise) {
  Analysis a;
  a.noise = noise;
  const double tallest = *std::max_element(s.points.begin(), s.points.end());
  const common::Solvent* solvent = common::solvent_named(s.solvent);
  for (const processing::Line& l : processing::lines_in(s.points, 0, s.points.size(), std::max(kOtherLineSigmas * noise, kOtherLineShare * tallest))) {
    const double shift = s.axis_at(l.index);
    if (s.in_ppm() && std::fabs(shift) <= kOtherTmsPpm) continue;
    if (s.in_ppm() && solvent && s.nucleus == "13C" && solvent->carbon.ppm != 0 &&
        std::fabs(shift - solvent->carbon.ppm) <= kOtherSolventPpm) {
      continue;
    }
    a.lines.push_back(shift);
  }
  return a;  // by falling frequency: high to low already
}

}  // namespace

Analysis analyse(const processing::Spectrum& s, std::optional<int> protons) {
  if (s.points.size() < 3) return {};
  return s.nucleus == "1H" ? proton_analysis(s, s.noise, protons) : other_analysis(s, s.noise);
}

}  // namespace analysis
