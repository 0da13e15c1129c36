// How much of a spectrum is noise: a robust estimate that lines barely move.
#pragma once

#include <cstddef>
#include <vector>

namespace processing {

// The standard deviation of the noise on n values spaced stride apart: from the median
// absolute deviation of first differences (of at most 16384 pairs spread over them),
// which lines, a small share of the points, hardly change.
double robust_noise(const double* values, std::size_t n, std::size_t stride = 1);

// The median of the values (reordered in place); 0 for none.
double median_of(std::vector<double>& values);

}  // namespace processing
