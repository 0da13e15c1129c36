// The spectrum drawn: one drawing, as a GIF for the page and as EPS for "view Spectrum".
#pragma once

#include <optional>
#include <string>

#include "picture/reading.hpp"

namespace picture {

// The picture's size (pixels of the GIF, points of the EPS) and its plot's box.
inline constexpr int kWidth = 800;
inline constexpr int kHeight = 360;
inline constexpr int kPlotLeft = 40;
inline constexpr int kPlotRight = 770;  // the plot has one column of the spectrum a pixel
inline constexpr int kPlotTop = 50;
inline constexpr int kPlotBottom = 300;
inline constexpr std::size_t kColumns = kPlotRight - kPlotLeft;

// The x of an axis value (ppm or Hz) in the picture.
double x_of(const Spectrum& spectrum, double value);

// The file's bytes; nothing when the drawing or the encoding failed.
std::optional<std::string> gif_of(const Spectrum& spectrum);
std::optional<std::string> eps_of(const Spectrum& spectrum);

}  // namespace picture
