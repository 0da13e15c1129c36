// A known compound's line found by its pattern.
#include "processing/reference_lines.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "processing/lines.hpp"
#include "processing/noise.hpp"

namespace processing {
namespace {

constexpr double kReachWidths = 6;        // how far beyond its outer lines a pattern is drawn
constexpr double kFootprint = 0.02;       // of its tallest: where a pattern is compared
constexpr double kTallShare = 0.3;        // of its tallest: where it may not stand above the spectrum
// The widths tried, times the typical line's: a singlet's barely differs from the others';
// a multiplet's lines, unresolved at low field, may be broader or narrower.
constexpr double kSingletWidths[] = {0.8, 1.0, 1.2};
constexpr double kPatternWidths[] = {0.7, 1.0, 1.4};
constexpr double kCouplings[] = {0.9, 1.0, 1.1};
constexpr double kCentreOffsets[] = {-0.5, -0.25, 0, 0.25, 0.5};  // typical widths
constexpr double kTypicalShare = 0.05;  // of the tallest point: lines whose width is the spectrum's, not the noise's

// The spectrum's height at Hz, between points.
double height_at(const Spectrum& s, double hz) {
  const double at = std::clamp((s.firstHz - hz) / s.hzPerPoint, 0.0, static_cast<double>(s.points.size() - 1));
  const auto i = std::min(static_cast<std::size_t>(at), s.points.size() - 2);
  return s.points[i] + (s.points[i + 1] - s.points[i]) * (at - static_cast<double>(i));
}

// How well the pattern's Lorentzians match the spectrum's points in [from, to): the
// cosine between the two, weighted by the pattern itself (its lines count more than their
// flanks, where a neighbour's line runs in), over the points where the pattern stands
// above kFootprint of its tallest (a line beside the pattern does not count); times, for
// a multiplet, how much of each of its taller lines is there, the pattern scaled to the
// median of them: a single line of the sample matches a lump's middle, not its sides.
double match_of(const Spectrum& s, std::size_t from, std::size_t to, double centreHz, const LinePattern& p,
                double widthHz, double couplingScale) {
  const auto pattern_at = [&](double hz) {
    double t = 0;
    for (std::size_t k = 0; k < p.offsetsHz.size(); ++k) {
      const double u = 2 * (hz - centreHz - couplingScale * p.offsetsHz[k]) / widthHz;
      t += p.weights[k] / (1 + u * u);
    }
    return t;
  };
  std::vector<double> t(to - from, 0);
  double tallest = 0;
  for (std::size_t i = from; i < to; ++i) tallest = std::max(tallest, t[i - from] = pattern_at(s.hz_at(static_cast<double>(i))));
  double cross = 0, own = 0, model = 0;
  for (std::size_t i = from; i < to; ++i) {
    const double ti = t[i - from];
    if (ti < kFootprint * tallest) continue;
    const double v = ti / tallest;
    cross += v * ti * s.points[i];
    own += v * s.points[i] * s.points[i];
    model += v * ti * ti;
  }
  if (!(own > 0 && model > 0)) return 0;
  const double correlation = cross / std::sqrt(own * model);
  if (p.offsetsHz.size() < 3) return correlation;
  double heaviest = 0;
  for (const double w : p.weights) heaviest = std::max(heaviest, w);
  std::vector<double> ratios;
  for (std::size_t k = 0; k < p.offsetsHz.size(); ++k) {
    if (p.weights[k] < kTallShare * heaviest) continue;
    const double hz = centreHz + couplingScale * p.offsetsHz[k];
    ratios.push_back(std::max(0.0, height_at(s, hz)) / pattern_at(hz));
  }
  std::vector<double> sorted = ratios;
  const double scale = median_of(sorted);
  if (!(scale > 0)) return 0;
  double present = 1;
  for (const double r : ratios) present = std::min(present, r / scale);
  return correlation * present;
}

}  // namespace

LinePattern deuterium_pattern(int deuterons, double couplingHz) {
  std::vector<double> shares = {1};
  for (int d = 0; d < deuterons; ++d) {
    std::vector<double> next(shares.size() + 2, 0);
    for (std::size_t k = 0; k < shares.size(); ++k) {
      for (std::size_t m = 0; m < 3; ++m) next[k + m] += shares[k];
    }
    shares = std::move(next);
  }
  LinePattern p;
  const double middle = static_cast<double>(shares.size() - 1) / 2;
  for (std::size_t k = 0; k < shares.size(); ++k) {
    p.offsetsHz.push_back((static_cast<double>(k) - middle) * couplingHz);
    p.weights.push_back(shares[k]);
  }
  return p;
}

std::vector<PatternMatch> pattern_matches(const Spectrum& s, const LinePattern& p, double from, double to, double least,
                                          double typicalWidthHz) {
  std::vector<PatternMatch> found;
  const auto n = static_cast<double>(s.points.size());
  const auto first = static_cast<std::size_t>(std::clamp(std::floor(std::min(from, to)), 0.0, n));
  const auto last = static_cast<std::size_t>(std::clamp(std::ceil(std::max(from, to)) + 1, 0.0, n));
  if (!(typicalWidthHz > 0)) return found;
  double extent = 0;
  for (const double o : p.offsetsHz) extent = std::max(extent, std::fabs(o));
  for (const Line& l : lines_in(s.points, first, last, least)) {
    const double reach = (1.1 * extent + kReachWidths * kPatternWidths[2] * typicalWidthHz) / s.hzPerPoint;
    const auto a = static_cast<std::size_t>(std::clamp(std::floor(l.index - reach), 0.0, n));
    const auto b = static_cast<std::size_t>(std::clamp(std::ceil(l.index + reach) + 1, 0.0, n));
    PatternMatch m{l.index, 0, typicalWidthHz, l.height};
    for (const double w : extent == 0 ? kSingletWidths : kPatternWidths) {
      for (const double c : kCouplings) {
        if (c != 1.0 && extent == 0) continue;
        // The top of a lump may lie off its centre, where a line of the sample runs into it.
        for (const double off : kCentreOffsets) {
          const double centre = l.index + off * typicalWidthHz / s.hzPerPoint;
          const double r = match_of(s, a, b, s.hz_at(centre), p, w * typicalWidthHz, c);
          if (r > m.correlation) m.correlation = r, m.widthHz = w * typicalWidthHz, m.index = centre;
        }
      }
    }
    found.push_back(m);
  }
  return found;
}

bool has_partner(const Spectrum& s, const PatternMatch& m, double least) {
  constexpr double kFarthestHz = 20, kAlike = 1.6, kTwins = 1.3, kSmallestOuter = 0.2;
  const auto alike = [](double a, double b, double within) { return a * within >= b && a <= within * b; };
  const auto unlikeness = [](double a, double b) { return std::fabs(std::log(a / b)); };
  // Twice as far as a partner may lie, so that a neighbour's own partner is seen too.
  const double reach = 2 * kFarthestHz / s.hzPerPoint;
  const auto n = static_cast<double>(s.points.size());
  const std::vector<Line> near = lines_in(s.points, static_cast<std::size_t>(std::clamp(m.index - reach, 0.0, n)),
                                          static_cast<std::size_t>(std::clamp(m.index + reach + 1, 0.0, n)), least);
  if (near.empty()) return false;
  const double tolerance = std::max(0.2, 0.3 * m.widthHz) / s.hzPerPoint;
  // Its own line is the one nearest its centre; any other resolved line counts, however
  // near: a small coupling splits lines by as little as a Hz.
  const Line* own = &*std::min_element(near.begin(), near.end(), [&](const Line& a, const Line& b) {
    return std::fabs(a.index - m.index) < std::fabs(b.index - m.index);
  });
  const auto within_reach = [&](const Line& a, const Line& b) {
    return &a != &b && std::fabs(a.index - b.index) * s.hzPerPoint <= kFarthestHz;
  };
  for (const Line& l : near) {
    if (!within_reach(l, *own)) continue;
    // A line of about its height: the two are a doublet's, or lines of one multiplet;
    // unless that line has a partner more like it, and the two are a doublet beside it.
    if (alike(l.height, m.height, kAlike)) {
      const bool takenElsewhere = std::any_of(near.begin(), near.end(), [&](const Line& q) {
        return &q != own && within_reach(q, l) && unlikeness(q.height, l.height) < unlikeness(m.height, l.height);
      });
      if (!takenElsewhere) return true;
    }
    // Two lines alike on either side: it is the middle of a multiplet (a triplet's).
    if (l.index > m.index || l.height < kSmallestOuter * m.height) continue;
    for (const Line& other : near) {
      if (std::fabs(other.index - (2 * m.index - l.index)) <= tolerance && alike(other.height, l.height, kTwins)) {
        return true;
      }
    }
  }
  return false;
}

double typical_width_hz(std::span<const double> points, double hzPerPoint, double least) {
  if (points.empty()) return 0;
  const double tallest = *std::max_element(points.begin(), points.end());
  std::vector<double> widths;
  for (const Line& l : lines_in(points, 0, points.size(), std::max(least, kTypicalShare * tallest))) {
    widths.push_back(2 * l.halfWidth * hzPerPoint);
  }
  return median_of(widths);
}

}  // namespace processing
