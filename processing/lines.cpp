// The lines of a spectrum.
#include "processing/lines.hpp"

#include <algorithm>
#include <cmath>

namespace processing {
namespace {

// Half the width at half height of the line whose top is at i: on the side where the
// points fall to half height first (a neighbour may hold the other side up).
double half_width(std::span<const double> y, std::size_t i, std::size_t from, std::size_t to) {
  const double half = y[i] / 2;
  double narrowest = static_cast<double>(to - from);
  for (const int direction : {-1, 1}) {
    std::size_t k = i;
    while (true) {
      const std::size_t next = direction < 0 ? k - 1 : k + 1;
      if ((direction < 0 && k == from) || (direction > 0 && next >= to)) break;
      if (y[next] <= half) {
        const double along = (y[k] - half) / (y[k] - y[next]);
        const double width = static_cast<double>(direction < 0 ? i - k : k - i) + along;
        narrowest = std::min(narrowest, width);
        break;
      }
      if (y[next] > y[i]) break;  // a higher line comes first
      k = next;
    }
  }
  return narrowest;
}

}  // namespace

std::vector<Line> lines_in(std::span<const double> y, std::size_t from, std::size_t to, double least) {
  std::vector<Line> lines;
  to = std::min(to, y.size());
  if (to < from + 3) return lines;
  for (std::size_t i = from + 1; i + 1 < to; ++i) {
    if (!(y[i] >= least && y[i] > y[i - 1] && y[i] >= y[i + 1])) continue;
    // Each side is walked only until it has fallen far enough, or meets a higher point.
    const double deepEnough = y[i] - least;
    bool prominent = true;
    for (int side = 0; side < 2 && prominent; ++side) {
      double lowest = y[i];
      for (std::size_t k = i; lowest > deepEnough;) {
        if (side == 0 ? k == from : k + 1 >= to) break;
        k = side == 0 ? k - 1 : k + 1;
        if (y[k] > y[i]) break;
        lowest = std::min(lowest, y[k]);
      }
      prominent = lowest <= deepEnough;
    }
    if (!prominent) continue;
    const double a = y[i - 1], b = y[i], c = y[i + 1];
    const double curve = a - 2 * b + c;
    const double shift = curve < 0 ? std::clamp(0.5 * (a - c) / curve, -0.5, 0.5) : 0.0;
    lines.push_back({static_cast<double>(i) + shift, b - 0.25 * (a - c) * shift, half_width(y, i, from, to)});
  }
  return lines;
}

}  // namespace processing
