// Lorentz-to-Gauss resolution enhancement.
#include "analysis/enhancement.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "processing/fourier.hpp"
#include "processing/lines.hpp"

namespace analysis {
namespace {

constexpr double kLorentzianTakenAway = 0.9;  // of the line's width
constexpr double kGaussianGiven = 0.35;
constexpr std::size_t kLeastMargin = 64;      // points either side of a stretch
constexpr std::size_t kQuietPoints = 1024;

std::size_t power_of_two_from(std::size_t n) {
  std::size_t p = 1;
  while (p < n) p *= 2;
  return p;
}

}  // namespace

Enhancement::Enhancement(double widthHz, double hzPerPoint) : hzPerPoint_(hzPerPoint) {
  lorentzian_ = M_PI * kLorentzianTakenAway * widthHz;
  const double g = M_PI * kGaussianGiven * widthHz;
  gaussian_ = g * g / (4 * std::log(2.0));
  // The line left: a Lorentzian of the width not taken away and the Gaussian, whose Voigt
  // profile's width Olivero and Longbothum's formula gives.
  const double fl = (1 - kLorentzianTakenAway) * widthHz, fg = kGaussianGiven * widthHz;
  widthHz_ = 0.5346 * fl + std::sqrt(0.2166 * fl * fl + fg * fg);
}

double Enhancement::window(double t) const { return std::exp(lorentzian_ * t - gaussian_ * t * t); }

std::vector<double> Enhancement::of(const processing::Spectrum& s, std::size_t from, std::size_t to) const {
  to = std::min(to, s.points.size());
  if (from >= to) return {};
  const std::size_t length = to - from, margin = std::max(length, kLeastMargin);
  const std::size_t n = power_of_two_from(length + 2 * margin);
  processing::ComplexPoints z(n);
  for (std::size_t k = 0; k < length + 2 * margin; ++k) {
    const auto i = static_cast<std::ptrdiff_t>(from + k) - static_cast<std::ptrdiff_t>(margin);
    if (i >= 0 && static_cast<std::size_t>(i) < s.points.size()) z[k] = s.points[static_cast<std::size_t>(i)];
  }
  // The inverse transform through the forward one: conj(fft(conj(z))) / n, z being real.
  if (!processing::forward_transform(z)) return {};
  const double dt = 1 / (static_cast<double>(n) * hzPerPoint_);
  for (std::size_t m = 0; m < n; ++m) {
    const double t = static_cast<double>(std::min(m, n - m)) * dt;
    z[m] = std::conj(z[m]) * (window(t) / static_cast<double>(n));
  }
  if (!processing::forward_transform(z)) return {};
  std::vector<double> e(length);
  for (std::size_t k = 0; k < length; ++k) e[k] = z[margin + k].real();
  return e;
}

double Enhancement::noise_of(const processing::Spectrum& s) const {
  const std::size_t length = std::min(kQuietPoints, s.points.size() / 32);
  if (length < 8) return 0;
  // The stretch whose largest magnitude is least, of those side by side.
  std::size_t quietest = 0;
  double least = std::numeric_limits<double>::infinity();
  for (std::size_t from = 0; from + length <= s.points.size(); from += length) {
    double largest = 0;
    for (std::size_t i = from; i < from + length; ++i) largest = std::max(largest, std::fabs(s.points[i]));
    if (largest < least) least = largest, quietest = from;
  }
  const std::vector<double> e = of(s, quietest, quietest + length);
  double sum = 0, squares = 0;
  for (const double v : e) sum += v, squares += v * v;
  const double n = static_cast<double>(e.size()), mean = n > 0 ? sum / n : 0;
  return n > 1 ? std::sqrt(std::max(0.0, squares / n - mean * mean)) : 0;
}

std::vector<EnhancedLine> enhanced_lines(std::span<const double> e, double least) {
  const std::vector<processing::Line> tops = processing::lines_in(e, 0, e.size(), least);
  std::vector<EnhancedLine> lines;
  const auto lowest_between = [&](std::size_t a, std::size_t b) {
    return static_cast<std::size_t>(std::min_element(e.begin() + static_cast<std::ptrdiff_t>(a), e.begin() + static_cast<std::ptrdiff_t>(b) + 1) - e.begin());
  };
  for (std::size_t k = 0; k < tops.size(); ++k) {
    const auto top = static_cast<std::size_t>(std::lround(tops[k].index));
    // The basin: to the lowest point before the neighbour, or to where the line falls to 0.
    std::size_t first = top, last = top;
    if (k > 0) {
      first = lowest_between(static_cast<std::size_t>(std::lround(tops[k - 1].index)), top);
    } else {
      while (first > 0 && e[first - 1] > 0 && e[first - 1] < e[first]) --first;
    }
    if (k + 1 < tops.size()) {
      last = lowest_between(top, static_cast<std::size_t>(std::lround(tops[k + 1].index)));
    } else {
      while (last + 1 < e.size() && e[last + 1] > 0 && e[last + 1] < e[last]) ++last;
    }
    double area = 0;
    for (std::size_t i = first; i <= last; ++i) area += std::max(0.0, e[i]);
    lines.push_back({tops[k].index, area, 2 * tops[k].halfWidth});
  }
  return lines;
}

}  // namespace analysis
