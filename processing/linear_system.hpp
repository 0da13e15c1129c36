// Small systems of linear equations, as least-squares fits make them.
#pragma once

#include <vector>

namespace processing {

// Solves a x = b (a square, b as long) by Gaussian elimination with partial pivoting;
// false, and x untouched, when a is singular.
bool solve_linear(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x);

}  // namespace processing
