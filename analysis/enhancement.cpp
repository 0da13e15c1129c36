// Lorentz-to-Gauss resolution enhancement.
#include "analysis/enhancement.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "processing/fourier.hpp"
#include "processing/lines.hpp"
#include "processing/noise.hpp"

namespace analysis {
namespace {

constexpr double kLorentzianTakenAway = 0.9;  // of the line's width
constexpr double kGaussianGiven = 0.35;

}  // namespace

processing::Intensities enhanced(const processing::Spectrum& s, double widthHz) {
  const std::size_t n = s.points.size();
  if (n < 4 || !(widthHz > 0) || !(s.hzPerPoint > 0)) return {};
  processing::ComplexPoints z(n);
  for (std::size_t k = 0; k < n; ++k) z[k] = s.points[k];
  // The inverse transform through the forward one: conj(fft(conj(z))) / n, z being real.
  if (!processing::forward_transform(z)) return {};
  const double dt = 1 / (static_cast<double>(n) * s.hzPerPoint);
  const double a = M_PI * kLorentzianTakenAway * widthHz;
  const double g = M_PI * kGaussianGiven * widthHz;
  const double gaussian = g * g / (4 * std::log(2.0));
  for (std::size_t m = 0; m < n; ++m) {
    const double t = static_cast<double>(std::min(m, n - m)) * dt;
    z[m] = std::conj(z[m]) * (std::exp(a * t - gaussian * t * t) / static_cast<double>(n));
  }
  if (!processing::forward_transform(z)) return {};
  processing::Intensities e(n);
  for (std::size_t k = 0; k < n; ++k) e[k] = z[k].real();
  return e;
}

std::vector<EnhancedLine> enhanced_lines(std::span<const double> e, std::size_t from, std::size_t to, double least) {
  const std::vector<processing::Line> tops = processing::lines_in(e, from, to, least);
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
      while (first > from && e[first - 1] > 0 && e[first - 1] < e[first]) --first;
    }
    if (k + 1 < tops.size()) {
      last = lowest_between(top, static_cast<std::size_t>(std::lround(tops[k + 1].index)));
    } else {
      while (last + 1 < to && e[last + 1] > 0 && e[last + 1] < e[last]) ++last;
    }
    double area = 0;
    for (std::size_t i = first; i <= last; ++i) area += std::max(0.0, e[i]);
    lines.push_back({tops[k].index, area, 2 * tops[k].halfWidth});
  }
  return lines;
}

double baseline_noise(const processing::Intensities& points) {
  constexpr std::size_t kMostSampled = 65536;
  const std::size_t every = std::max<std::size_t>(1, points.size() / kMostSampled);
  std::vector<double> magnitudes;
  magnitudes.reserve(points.size() / every + 1);
  for (std::size_t i = 0; i < points.size(); i += every) magnitudes.push_back(std::fabs(points[i]));
  // 1.4826 turns a median absolute value into a standard deviation.
  return 1.4826 * processing::median_of(magnitudes);
}

}  // namespace analysis
