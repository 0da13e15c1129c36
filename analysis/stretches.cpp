// The stretches of a spectrum that hold signal.
#include "analysis/stretches.hpp"

#include <algorithm>

namespace analysis {

std::vector<Span> signal_stretches(std::span<const double> y, double least, std::size_t joinPoints, std::size_t marginPoints) {
  std::vector<Span> runs;
  for (std::size_t i = 0; i < y.size();) {
    if (!(y[i] > least)) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < y.size() && y[j] > least) ++j;
    if (!runs.empty() && i - runs.back().to < joinPoints) {
      runs.back().to = j;
    } else {
      runs.push_back({i, j});
    }
    i = j;
  }
  std::vector<Span> widened = runs;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::size_t before = k > 0 ? (runs[k - 1].to + runs[k].from) / 2 : 0;
    const std::size_t after = k + 1 < runs.size() ? (runs[k].to + runs[k + 1].from) / 2 : y.size();
    widened[k].from = std::max(before, runs[k].from > marginPoints ? runs[k].from - marginPoints : 0);
    widened[k].to = std::min(after, runs[k].to + marginPoints);
  }
  return widened;
}

}  // namespace analysis
