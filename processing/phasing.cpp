// Automatic phase correction.
#include "processing/phasing.hpp"

#include <algorithm>
#include <cmath>
#include <complex>

#include "processing/nelder_mead.hpp"
#include "processing/noise.hpp"

namespace processing {
namespace {

constexpr double kLineSigmas = 20;        // a line for phasing stands this far above the noise
constexpr double kLeastShare = 0.005;     // and is at least this share of the tallest
constexpr std::size_t kFittedLines = 48;  // lines whose tops are fitted
constexpr double kFittedApartHz = 2;
constexpr std::size_t kWindowLines = 16;  // lines whose surroundings the criterion sees
constexpr double kWindowApartHz = 50;
constexpr double kWindowHz = 15;
constexpr double kNegativePenalty = 1000;
constexpr double kOutlierPhase = 0.3;     // radians: a top's phase this far off weighs half
constexpr double kSettled = 1e-6;         // the criterion's change at which the search stops

double wrapped(double radians) { return radians - 2 * M_PI * std::floor((radians + M_PI) / (2 * M_PI)); }

// The local maxima of the magnitude above a threshold, tallest first. (Squared
// magnitudes: they order alike, without a square root for every point.)
std::vector<std::size_t> tops_above(const ComplexPoints& s, double threshold) {
  const auto power = [&](std::size_t i) { return std::norm(s[i]); };
  const double least = threshold * threshold;
  std::vector<std::size_t> tops;
  for (std::size_t i = 1; i + 1 < s.size(); ++i) {
    const double p = power(i);
    if (p > least && p > power(i - 1) && p >= power(i + 1)) tops.push_back(i);
  }
  std::sort(tops.begin(), tops.end(), [&](std::size_t a, std::size_t b) { return power(a) > power(b); });
  return tops;
}

// The tallest of the tops, none closer than apart points to a taller one chosen; at most
// most of them.
std::vector<std::size_t> spread(const std::vector<std::size_t>& tops, std::size_t most, std::size_t apart) {
  std::vector<std::size_t> chosen;
  for (const std::size_t t : tops) {
    if (chosen.size() == most) break;
    if (std::all_of(chosen.begin(), chosen.end(), [&](std::size_t c) { return (t > c ? t - c : c - t) > apart; })) {
      chosen.push_back(t);
    }
  }
  return chosen;
}

// Step 1: a straight line through the tops' phases.
Phase fitted_tops(const ComplexPoints& s, const std::vector<std::size_t>& tops) {
  const auto n = static_cast<double>(s.size());
  const double x0 = static_cast<double>(tops.front()) / n;
  double zero = std::arg(s[tops.front()]), first = 0;  // at x0
  for (int round = 0; round < 8; ++round) {
    // Weighted least squares of the unwrapped phases on (x - x0).
    double sw = 0, sx = 0, sxx = 0, sy = 0, sxy = 0;
    for (const std::size_t t : tops) {
      const double x = static_cast<double>(t) / n - x0;
      const double model = zero + first * x;
      const double residual = wrapped(std::arg(s[t]) - model);
      const double w = std::abs(s[t]) / (1 + (residual / kOutlierPhase) * (residual / kOutlierPhase));
      const double y = model + residual;
      sw += w, sx += w * x, sxx += w * x * x, sy += w * y, sxy += w * x * y;
    }
    const double det = sw * sxx - sx * sx;
    if (std::fabs(det) <= 1e-12 * sw * sw) {
      zero = sy / sw;
      break;
    }
    first = (sw * sxy - sx * sy) / det;
    zero = (sy - first * sx) / sw;
  }
  return {zero - first * x0, first};
}

// The stretches of points [from, to) within the windows about the tops, merged.
std::vector<std::pair<std::size_t, std::size_t>> windows(const std::vector<std::size_t>& tops, std::size_t half, std::size_t n) {
  std::vector<std::pair<std::size_t, std::size_t>> stretches;
  for (const std::size_t t : tops) stretches.emplace_back(t > half ? t - half : 0, std::min(n, t + half + 1));
  std::sort(stretches.begin(), stretches.end());
  std::vector<std::pair<std::size_t, std::size_t>> merged;
  for (const auto& s : stretches) {
    if (!merged.empty() && s.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, s.second);
    } else {
      merged.push_back(s);
    }
  }
  return merged;
}

// Step 2's criterion: the entropy of the normalised absolute derivative of the real part,
// plus the penalty on its negative points, over the windows. Turned point by point by a
// rotation carried from one to the next.
double acme(const ComplexPoints& s, const std::vector<std::pair<std::size_t, std::size_t>>& stretches, double zero,
            double first) {
  const auto n = static_cast<double>(s.size());
  const std::complex<double> step = std::polar(1.0, -first / n);
  double sum = 0, sumLog = 0, negative = 0, all = 0;
  for (const auto& [from, to] : stretches) {
    std::complex<double> turn = std::polar(1.0, -(zero + first * static_cast<double>(from) / n));
    double previous = 0;
    for (std::size_t i = from; i < to; ++i, turn *= step) {
      const double r = s[i].real() * turn.real() - s[i].imag() * turn.imag();
      if (i > from) {
        const double d = std::fabs(r - previous);
        if (d > 0) sum += d, sumLog += d * std::log(d);
      }
      previous = r;
      all += r * r;
      if (r < 0) negative += r * r;
    }
  }
  if (!(sum > 0) || !(all > 0)) return 0;
  // With h = d / sum: -sum(h ln h) = ln(sum) - sum(d ln d) / sum.
  return std::log(sum) - sumLog / sum + kNegativePenalty * negative / all;
}

}  // namespace

Phase automatic_phase(const ComplexPoints& s, double hzPerPoint) {
  if (s.size() < 4 || !(hzPerPoint > 0)) return {};
  double tallest = 0;
  for (std::size_t i = 0; i < s.size(); ++i) tallest = std::max(tallest, std::norm(s[i]));
  const double noise = robust_noise(reinterpret_cast<const double*>(s.data()), s.size(), 2);
  const double threshold = std::max(kLineSigmas * noise, kLeastShare * std::sqrt(tallest));
  const auto points = [&](double hz) { return static_cast<std::size_t>(std::lround(hz / hzPerPoint)); };
  const std::vector<std::size_t> tops = tops_above(s, threshold);
  if (tops.empty()) return {};
  const Phase start = fitted_tops(s, spread(tops, kFittedLines, points(kFittedApartHz)));
  const auto stretches =
      windows(spread(tops, kWindowLines, points(kWindowApartHz)), std::max<std::size_t>(8, points(kWindowHz)), s.size());
  const Minimum best = nelder_mead([&](const std::vector<double>& p) { return acme(s, stretches, p[0], p[1]); },
                                   {start.zero, start.first}, {0.2, 0.2}, kSettled, 200);
  return {best.at[0], best.at[1]};
}

Intensities phased(const ComplexPoints& s, Phase phase) {
  Intensities real(s.size());
  const auto n = static_cast<double>(s.size());
  // The rotation carried along, set exactly again every 1024 points against drift.
  constexpr std::size_t kExactEvery = 1024;
  const std::complex<double> step = std::polar(1.0, -phase.first / n);
  std::complex<double> turn;
  for (std::size_t i = 0; i < s.size(); ++i, turn *= step) {
    if (i % kExactEvery == 0) turn = std::polar(1.0, -(phase.zero + phase.first * static_cast<double>(i) / n));
    real[i] = s[i].real() * turn.real() - s[i].imag() * turn.imag();
  }
  return real;
}

}  // namespace processing
