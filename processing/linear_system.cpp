// Small systems of linear equations.
#include "processing/linear_system.hpp"

#include <cmath>
#include <cstddef>
#include <utility>

namespace processing {

bool solve_linear(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x) {
  const std::size_t n = b.size();
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t pivot = k;
    for (std::size_t r = k + 1; r < n; ++r) {
      if (std::fabs(a[r][k]) > std::fabs(a[pivot][k])) pivot = r;
    }
    if (!(std::fabs(a[pivot][k]) > 1e-12)) return false;
    std::swap(a[k], a[pivot]);
    std::swap(b[k], b[pivot]);
    for (std::size_t r = k + 1; r < n; ++r) {
      const double f = a[r][k] / a[k][k];
      for (std::size_t c = k; c < n; ++c) a[r][c] -= f * a[k][c];
      b[r] -= f * b[k];
    }
  }
  std::vector<double> solution(n, 0);
  for (std::size_t k = n; k-- > 0;) {
    double v = b[k];
    for (std::size_t c = k + 1; c < n; ++c) v -= a[k][c] * solution[c];
    solution[k] = v / a[k][k];
  }
  x = std::move(solution);
  return true;
}

}  // namespace processing
