// The lines of a spectrum: its maxima that stand out, at full resolution.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace processing {

struct Line {
  double index = 0;      // where its top lies, between points
  double height = 0;     // its top's height
  double halfWidth = 0;  // half its width at half its height, in points
};

// The local maxima among points [from, to) at least `least` high that stand at least
// `least` above the higher of the lowest points on either side between them and a
// higher point (or the stretch's end): so that a wiggle on a line's flank is no line.
// Each top placed by the parabola through its three highest points.
std::vector<Line> lines_in(std::span<const double> points, std::size_t from, std::size_t to, double least);

}  // namespace processing
