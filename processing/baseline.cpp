// Baseline correction.
#include "processing/baseline.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/large_memory.hpp"
#include "processing/linear_system.hpp"

namespace processing {
namespace {

constexpr double kSmoothingHz = 2;
constexpr double kMarginHz = 4;
constexpr double kSigmas = 3;
constexpr int kRounds = 10;
constexpr std::size_t kMostSampled = 16384;
constexpr std::size_t kDegree = 5;
constexpr std::size_t kTerms = kDegree + 1;
constexpr std::size_t kMostFitted = 8192;  // points the fit looks at, evenly taken

// The Legendre polynomials P0 .. P5 at x in [-1, 1].
std::array<double, kTerms> legendre(double x) {
  std::array<double, kTerms> p{};
  p[0] = 1;
  p[1] = x;
  for (std::size_t k = 2; k < kTerms; ++k) {
    const auto m = static_cast<double>(k);
    p[k] = ((2 * m - 1) * x * p[k - 1] - (m - 1) * p[k - 2]) / m;
  }
  return p;
}

// The coefficients of P_k in powers of x, by the same recurrence.
std::array<double, kTerms> legendre_in_powers(std::size_t k) {
  std::array<std::array<double, kTerms>, kTerms> p{};
  p[0][0] = 1;
  p[1][1] = 1;
  for (std::size_t m = 2; m <= k; ++m) {
    const auto d = static_cast<double>(m);
    for (std::size_t j = 0; j <= m; ++j) {
      p[m][j] = ((j > 0 ? (2 * d - 1) * p[m - 1][j - 1] : 0) - (d - 1) * p[m - 2][j]) / d;
    }
  }
  return p[k];
}

double x_of(std::size_t i, std::size_t n) { return 2 * static_cast<double>(i) / static_cast<double>(n - 1) - 1; }

}  // namespace

FreeOfSignal signal_free(std::span<const double> points, double hzPerPoint) {
  const std::size_t n = points.size();
  FreeOfSignal free(n, 1);
  if (n < 8 || !(hzPerPoint > 0)) return free;
  const auto half = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kSmoothingHz / hzPerPoint)));
  // The absolute difference, averaged over the window by a running sum.
  const auto slope = [&](std::size_t i) { return i == 0 ? std::fabs(points[1] - points[0]) : std::fabs(points[i] - points[i - 1]); };
  platform::LargeVector<double> smooth(n);
  double running = 0;
  for (std::size_t i = 0; i < std::min(n, half + 1); ++i) running += slope(i);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t from = i > half ? i - half : 0, to = std::min(n - 1, i + half);
    smooth[i] = running / static_cast<double>(to - from + 1);
    if (i + half + 1 < n) running += slope(i + half + 1);
    if (i >= half) running -= slope(i - half);
  }
  // The threshold settles on a sample of the points (every every-th), then marks them all.
  const std::size_t every = std::max<std::size_t>(1, n / kMostSampled);
  double limit = std::numeric_limits<double>::infinity();
  for (int round = 0; round < kRounds; ++round) {
    double sum = 0, squares = 0, count = 0;
    for (std::size_t i = 0; i < n; i += every) {
      if (smooth[i] < limit) sum += smooth[i], squares += smooth[i] * smooth[i], ++count;
    }
    if (count < 2) break;
    const double mean = sum / count;
    const double next = mean + kSigmas * std::sqrt(std::max(0.0, squares / count - mean * mean));
    if (next == limit) break;
    limit = next;
  }
  for (std::size_t i = 0; i < n; ++i) free[i] = smooth[i] < limit;
  // Signal's surroundings are signal too: its wings run below the threshold.
  const auto margin = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kMarginHz / hzPerPoint)));
  FreeOfSignal widened(free);
  std::size_t lastSignal = n;  // none yet
  for (std::size_t i = 0; i < n; ++i) {
    if (!free[i]) lastSignal = i;
    if (lastSignal != n && i - lastSignal <= margin) widened[i] = 0;
  }
  lastSignal = n;
  for (std::size_t i = n; i-- > 0;) {
    if (!free[i]) lastSignal = i;
    if (lastSignal != n && lastSignal - i <= margin) widened[i] = 0;
  }
  return widened;
}

void subtract_baseline(std::span<double> points, const FreeOfSignal& free) {
  const std::size_t n = points.size();
  const auto count = static_cast<std::size_t>(std::count(free.begin(), free.end(), 1));
  if (n < kTerms || count < std::max(kTerms * 4, n / 10)) return;
  // The fit sees the free points among every step-th: as many as it needs, evenly spread.
  const std::size_t step = std::max<std::size_t>(1, n / kMostFitted);
  std::vector<std::vector<double>> normal(kTerms, std::vector<double>(kTerms, 0));
  std::vector<double> right(kTerms, 0), c;
  for (std::size_t i = 0; i < n; i += step) {
    if (!free[i]) continue;
    const auto p = legendre(x_of(i, n));
    for (std::size_t r = 0; r < kTerms; ++r) {
      right[r] += p[r] * points[i];
      for (std::size_t k = 0; k < kTerms; ++k) normal[r][k] += p[r] * p[k];
    }
  }
  if (!solve_linear(normal, right, c)) return;
  // The same polynomial in powers of x, evaluated by Horner's rule at every point.
  std::array<double, kTerms> power{};
  for (std::size_t k = 0; k < kTerms; ++k) {
    const auto coefficients = legendre_in_powers(k);
    for (std::size_t j = 0; j <= k; ++j) power[j] += c[k] * coefficients[j];
  }
  const double dx = 2.0 / static_cast<double>(n - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) * dx - 1;
    double baseline = power[kDegree];
    for (std::size_t k = kDegree; k-- > 0;) baseline = baseline * x + power[k];
    points[i] -= baseline;
  }
}

double noise_of(std::span<const double> points, const FreeOfSignal& free) {
  double sum = 0, squares = 0, count = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (free[i]) sum += points[i], squares += points[i] * points[i], ++count;
  }
  if (count < 2) return 0;
  const double mean = sum / count;
  return std::sqrt(std::max(0.0, squares / count - mean * mean));
}

}  // namespace processing
