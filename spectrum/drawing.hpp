// The spectrum drawn: one drawing, as a GIF for the page and as EPS for "view Spectrum".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "spectrum/trace.hpp"

namespace spectrum {

// The picture's size (pixels of the GIF, points of the EPS) and its plot's box.
inline constexpr int kWidth = 800;
inline constexpr int kHeight = 360;
inline constexpr int kPlotLeft = 40;
inline constexpr int kPlotRight = 770;  // the plot has one column of the spectrum a pixel
inline constexpr int kPlotTop = 50;
inline constexpr int kPlotBottom = 300;
inline constexpr std::size_t kColumns = kPlotRight - kPlotLeft;

// The x of an axis value (ppm or Hz) in the picture.
double x_of(const Trace& trace, double value);

// The labelled ticks of the picture's axis: 1, 2 or 5 times a power of ten apart, about
// six over the axis, and the decimals their labels show.
struct Ticks {
  std::vector<double> values;
  int decimals = 0;
};
Ticks ticks_of(const Trace& trace);

// The intensities at the plot's bottom and its top: the lowest point or 0, and the
// tallest peak or 0 (never the same).
struct Scale {
  double bottom = 0;
  double top = 1;
};
Scale scale_of(const Trace& trace);

// The file's bytes; nothing when the drawing or the encoding failed.
std::optional<std::string> gif_of(const Trace& trace);
std::optional<std::string> eps_of(const Trace& trace);

}  // namespace spectrum
