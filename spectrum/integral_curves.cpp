// Each multiplet's integral as a running sum.
#include "spectrum/integral_curves.hpp"

#include <algorithm>

namespace spectrum {

std::vector<IntegralCurve> integral_curves(const processing::Spectrum& s, const std::vector<analysis::Multiplet>& ms,
                                           std::size_t mostPoints) {
  double largest = 0;
  for (const analysis::Multiplet& m : ms) largest = std::max(largest, m.integral);
  std::vector<IntegralCurve> curves;
  if (!(largest > 0) || mostPoints < 2) return curves;
  for (const analysis::Multiplet& m : ms) {
    const std::size_t from = std::min(m.from, s.points.size()), to = std::min(m.to, s.points.size());
    if (to <= from + 1) continue;
    // The points' own sum runs to the multiplet's integral: scaled so, whatever its
    // baseline or its neighbours lent the points.
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += s.points[i];
    if (!(sum > 0)) continue;
    const double scale = m.integral / largest / sum;
    const std::size_t every = std::max<std::size_t>(1, (to - from + mostPoints - 2) / (mostPoints - 1));
    IntegralCurve c{{}, m.shift, m.protons};
    double running = 0;
    for (std::size_t i = from; i < to; ++i) {
      running += s.points[i];
      if ((i - from) % every == 0 || i + 1 == to) c.points.emplace_back(s.axis_at(static_cast<double>(i)), running * scale);
    }
    curves.push_back(std::move(c));
  }
  return curves;
}

}  // namespace spectrum
