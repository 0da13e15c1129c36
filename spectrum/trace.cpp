// A spectrum reduced to the columns of a plot.
#include "spectrum/trace.hpp"

#include <algorithm>
#include <cmath>

namespace spectrum {
namespace {

// Gathers points, in order from the axis's left end to its right end, into the columns
// of a plot.
class Columns {
 public:
  Columns(std::size_t columns, std::size_t points) : columns_(columns), highest_(columns), points_(points) {}
  void add(double value) {
    if (!std::isfinite(value)) value = 0;
    const std::size_t column = std::min(columns_.size() - 1, seen_ * columns_.size() / points_);
    auto& c = columns_[column];
    if (!filled_[column] || value > c.high) highest_[column] = seen_;
    if (!filled_[column]) {
      c = {value, value};
      filled_[column] = true;
    } else {
      c.low = std::min(c.low, value);
      c.high = std::max(c.high, value);
    }
    ++seen_;
  }
  // The columns of an axis from left to right, its points evenly spread from end to end.
  // Columns that no point fell into (more columns than points) take the one before.
  std::vector<Trace::Column> take(double left, double right) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (!filled_[i] && i > 0) {
        columns_[i] = columns_[i - 1];
        continue;
      }
      const double along = points_ > 1 ? static_cast<double>(highest_[i]) / static_cast<double>(points_ - 1) : 0;
      columns_[i].at = left + (right - left) * along;
    }
    return std::move(columns_);
  }

 private:
  std::vector<Trace::Column> columns_;
  std::vector<std::size_t> highest_;  // the index of each column's highest point
  std::vector<bool> filled_ = std::vector<bool>(columns_.size());
  std::size_t points_;
  std::size_t seen_ = 0;
};

}  // namespace

Range range_of(const processing::Spectrum& s) {
  return {s.axis_at(0), s.axis_at(static_cast<double>(s.points.size()) - 1)};
}

std::optional<Trace> trace_of(const processing::Spectrum& s, std::size_t columns) {
  if (s.points.size() < 2) return std::nullopt;
  return trace_of(s, columns, range_of(s));
}

std::optional<Trace> trace_of(const processing::Spectrum& s, std::size_t columns, const Range& range) {
  const auto last = static_cast<double>(s.points.size()) - 1;
  const double from = std::clamp(std::ceil(s.index_of(range.left) - 1e-9), 0.0, std::max(last, 0.0));
  const double to = std::clamp(std::floor(s.index_of(range.right) + 1e-9), 0.0, std::max(last, 0.0));
  if (columns == 0 || s.points.size() < 2 || !(to > from)) return std::nullopt;
  const auto first = static_cast<std::size_t>(from), end = static_cast<std::size_t>(to) + 1;
  Trace t;
  Columns gathered(columns, end - first);
  for (std::size_t i = first; i < end; ++i) gathered.add(s.points[i]);
  t.left = s.axis_at(from);
  t.right = s.axis_at(to);
  t.columns = gathered.take(t.left, t.right);
  t.axis = s.in_ppm() ? Axis::Ppm : Axis::Hz;
  t.title = s.title;
  t.nucleus = s.nucleus;
  return t;
}

}  // namespace spectrum
