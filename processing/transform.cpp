// From an FID to its complex spectrum.
#include "processing/transform.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "bruker/parameters.hpp"
#include "bruker/word_format.hpp"

namespace processing {
namespace {

// A rotation carried from point to point, set exactly again now and then against drift.
class Rotation {
 public:
  Rotation(double start, double step) : start_(start), step_(step), turn_(std::polar(1.0, start)), by_(std::polar(1.0, step)) {}
  std::complex<double> next() {
    if (count_ % kExactEvery == 0) turn_ = std::polar(1.0, start_ + step_ * static_cast<double>(count_));
    const std::complex<double> now = turn_;
    turn_ *= by_;
    ++count_;
    return now;
  }

 private:
  static constexpr std::size_t kExactEvery = 1024;
  double start_, step_;
  std::complex<double> turn_, by_;
  std::size_t count_ = 0;
};

}  // namespace

int safe_exponent(double largest) {
  constexpr int kLargestExponent = 100, kTarget = 30;
  if (!(largest > 0) || !std::isfinite(largest)) return 0;
  int exponent = 0;
  std::frexp(largest, &exponent);
  return std::abs(exponent) <= kLargestExponent ? 0 : kTarget - exponent;
}

Fid first_fid(platform::FileSystem& files, std::string_view path, std::string_view acqus, std::size_t leadIn) {
  const bruker::WordFormat format = bruker::word_format(acqus);
  platform::BinaryFile file = files.open_for_reading(path);
  const std::int64_t words = file.is_open() ? file.length() / static_cast<std::int64_t>(format.bytes()) : 0;
  std::int64_t points = words / 2;
  if (const auto td = bruker::integer_parameter(acqus, "TD"); td && *td >= 2 && *td / 2 < points) points = *td / 2;
  const std::size_t pair = 2 * format.bytes();
  const auto skipped = static_cast<std::int64_t>(std::min<std::size_t>(leadIn, static_cast<std::size_t>(std::max<std::int64_t>(points, 0))));
  points = std::clamp<std::int64_t>(points - skipped, 0, static_cast<std::int64_t>(kMostFidPoints));
  if (points < 2 || !file.set_position(skipped * static_cast<std::int64_t>(pair) + 1)) return {};
  Fid fid{ComplexPoints(std::bit_ceil(2 * static_cast<std::size_t>(points))), 0};
  std::vector<unsigned char> bytes(pair * 4096);
  double largest = 0;
  const auto number = [&](double v) {
    if (std::isfinite(v)) {
      largest = std::max(largest, std::fabs(v));
      return v;
    }
    fid.nonNumbers = true;
    return 0.0;
  };
  while (fid.points < static_cast<std::size_t>(points)) {
    const std::size_t n = std::min<std::size_t>(4096, static_cast<std::size_t>(points) - fid.points);
    if (file.read(bytes.data(), pair * n) != pair * n) break;
    for (std::size_t i = 0; i < n; ++i) {
      const double re = number(bruker::word_at(bytes.data() + pair * i, format));
      const double im = number(bruker::word_at(bytes.data() + pair * i + format.bytes(), format));
      fid.buffer[fid.points++] = {re, im};
    }
  }
  fid.exponent = safe_exponent(largest);
  if (fid.exponent != 0) {
    for (std::size_t k = 0; k < fid.points; ++k) {
      fid.buffer[k] = {std::ldexp(fid.buffer[k].real(), fid.exponent), std::ldexp(fid.buffer[k].imag(), fid.exponent)};
    }
  }
  return fid;
}

std::optional<ComplexPoints> transformed(Fid fid, double sweepHz, double broadeningHz, double delayPoints) {
  if (fid.points < 2 || !(sweepHz > 0)) return std::nullopt;
  ComplexPoints& z = fid.buffer;
  const std::size_t n = z.size();
  // exp(-pi * LB * t), t = k / SW, one factor carried from point to point.
  const double decay = std::exp(-M_PI * broadeningHz / sweepHz);
  double weight = 1;
  for (std::size_t k = 0; k < fid.points; ++k, weight *= decay) z[k] *= weight;
  if (!forward_transform(z)) return std::nullopt;
  // Point i is to hold frequency k = n / 2 - i, found in bin k mod n: bins n/2 down to 0,
  // then n - 1 down to n/2 + 1; reversed and turned, in place.
  std::reverse(z.data(), z.data() + n);
  std::rotate(z.data(), z.data() + n / 2 - 1, z.data() + n);
  // A delay of g points multiplied frequency k by exp(-2 pi i g k / n); it is undone.
  Rotation undo(2 * M_PI * delayPoints * 0.5, -2 * M_PI * delayPoints / static_cast<double>(n));
  for (std::size_t i = 0; i < n; ++i) z[i] *= undo.next();
  return std::move(z);
}

}  // namespace processing
