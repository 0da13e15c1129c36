// The downhill simplex method.
#include "processing/nelder_mead.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace processing {

Minimum nelder_mead(const std::function<double(const std::vector<double>&)>& f, std::vector<double> start,
                    const std::vector<double>& step, double tolerance, int most) {
  const std::size_t n = start.size();
  std::vector<std::vector<double>> simplex(n + 1, start);
  for (std::size_t i = 0; i < n; ++i) simplex[i + 1][i] += step[i];
  std::vector<double> values(n + 1);
  int evaluations = 0;
  const auto eval = [&](const std::vector<double>& x) {
    ++evaluations;
    return f(x);
  };
  for (std::size_t i = 0; i <= n; ++i) values[i] = eval(simplex[i]);
  std::vector<std::size_t> order(n + 1);
  std::vector<double> centre(n), trial(n), further(n);
  const auto along = [&](double t, std::vector<double>& out, std::size_t worst) {
    for (std::size_t k = 0; k < n; ++k) out[k] = centre[k] + t * (simplex[worst][k] - centre[k]);
  };
  while (evaluations < most) {
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    const std::size_t best = order.front(), worst = order.back(), second = order[n - 1];
    if (std::fabs(values[worst] - values[best]) <= tolerance) break;
    std::fill(centre.begin(), centre.end(), 0.0);
    for (const std::size_t i : order) {
      if (i == worst) continue;
      for (std::size_t k = 0; k < n; ++k) centre[k] += simplex[i][k] / static_cast<double>(n);
    }
    along(-1, trial, worst);  // reflection
    const double reflected = eval(trial);
    if (reflected < values[best]) {
      along(-2, further, worst);  // expansion
      const double expanded = eval(further);
      if (expanded < reflected) {
        simplex[worst] = further, values[worst] = expanded;
      } else {
        simplex[worst] = trial, values[worst] = reflected;
      }
      continue;
    }
    if (reflected < values[second]) {
      simplex[worst] = trial, values[worst] = reflected;
      continue;
    }
    along(reflected < values[worst] ? -0.5 : 0.5, further, worst);  // contraction, outside or inside
    const double contracted = eval(further);
    if (contracted < std::min(reflected, values[worst])) {
      simplex[worst] = further, values[worst] = contracted;
      continue;
    }
    for (const std::size_t i : order) {  // shrink towards the best
      if (i == best) continue;
      for (std::size_t k = 0; k < n; ++k) simplex[i][k] = simplex[best][k] + 0.5 * (simplex[i][k] - simplex[best][k]);
      values[i] = eval(simplex[i]);
    }
  }
  const auto lowest = static_cast<std::size_t>(std::min_element(values.begin(), values.end()) - values.begin());
  return {simplex[lowest], values[lowest], evaluations};
}

}  // namespace processing
