// The downhill simplex method of Nelder and Mead, for the few parameters a fit here has.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace processing {

struct Minimum {
  std::vector<double> at;
  double value = 0;
  int evaluations = 0;
};

// Minimises f from start, the first simplex spread by step along each axis; stops when
// the simplex's values differ by less than tolerance or after most evaluations.
Minimum nelder_mead(const std::function<double(const std::vector<double>&)>& f, std::vector<double> start,
                    const std::vector<double>& step, double tolerance, int most);

}  // namespace processing
