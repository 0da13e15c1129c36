// How much of a spectrum is noise.
#include "processing/noise.hpp"

#include <algorithm>
#include <cmath>

namespace processing {

double median_of(std::vector<double>& values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

double robust_noise(const double* values, std::size_t n, std::size_t stride) {
  if (n < 3) return 0;
  constexpr std::size_t kMostPairs = 16384;
  const std::size_t every = std::max<std::size_t>(1, (n - 1) / kMostPairs);
  std::vector<double> differences;
  differences.reserve((n - 1) / every + 1);
  for (std::size_t i = 0; i + 1 < n; i += every) differences.push_back(values[(i + 1) * stride] - values[i * stride]);
  const double centre = median_of(differences);
  for (double& d : differences) d = std::fabs(d - centre);
  // 1.4826 turns a median absolute deviation into a standard deviation; a difference of
  // two points has twice the variance of one.
  return 1.4826 * median_of(differences) / std::sqrt(2.0);
}

}  // namespace processing
