// A spectrum reduced to the columns of a plot, ready to draw, to hear and to read peaks from.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "processing/spectrum.hpp"

namespace spectrum {

enum class Axis { Ppm, Hz };

// A stretch of the axis, from its left end (the higher ppm or Hz) to its right.
struct Range {
  double left = 0;
  double right = 0;
  double width() const { return left - right; }
  bool holds(double value) const { return value <= left && value >= right; }
  bool operator==(const Range&) const = default;
};

// Each column the lowest and the highest intensity of the points that fall into it, so
// that no peak is lost between columns, and where on the axis its highest point lies.
// The picture, the audio graph and the peaks are all made from it.
struct Trace {
  struct Column {
    double low = 0;
    double high = 0;
    double at = 0;  // the axis value (ppm or Hz) of the column's highest point
  };
  std::vector<Column> columns;  // from the left of the plot to the right
  double left = 0;              // the axis value at the left edge: the highest ppm (or Hz)
  double right = 0;             // at the right edge
  Axis axis = Axis::Ppm;
  std::string title;            // the first line of the dataset's title
  std::string nucleus;          // "1H"; empty when unknown

  Range range() const { return {left, right}; }
};

// The whole axis of a spectrum of at least one point: its first point's value to its last's.
Range range_of(const processing::Spectrum& spectrum);

// The whole spectrum in so many columns, from its first point (the highest ppm) to its
// last; nothing when columns is 0 or the spectrum has fewer than two points.
std::optional<Trace> trace_of(const processing::Spectrum& spectrum, std::size_t columns);

// The part of it within a range, in so many columns; nothing when fewer than two of its
// points lie there.
std::optional<Trace> trace_of(const processing::Spectrum& spectrum, std::size_t columns, const Range& range);

}  // namespace spectrum
