// The stretches of a spectrum that hold signal, each analysed on its own.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace analysis {

struct Span {
  std::size_t from = 0, to = 0;  // points [from, to)
};

// The runs of points above least, joined where less than joinPoints apart, each widened by
// marginPoints either side (within the points, and no further than halfway to the next).
std::vector<Span> signal_stretches(std::span<const double> points, double least, std::size_t joinPoints,
                                   std::size_t marginPoints);

}  // namespace analysis
