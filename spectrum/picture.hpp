// The spectrum as a picture for a paper or a slide: SVG, PDF or PNG at the size asked, with
// its ppm axis, its multiplets' labels and their integrals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"
#include "spectrum/trace.hpp"

namespace spectrum {

enum class PictureFormat { Svg, Pdf, Png };

// The format a file's name asks for by its ending (.svg, .pdf, .png, in any letter case);
// nothing for another.
std::optional<PictureFormat> picture_format(std::string_view path);

// A picture's size: pixels for PNG, points (1/72 inch) for PDF and SVG.
struct PictureSize {
  double width = 0;
  double height = 0;
};
// 1600 x 900 pixels, or 16 x 9 cm.
PictureSize default_picture_size(PictureFormat format);
// "WxH": pixels for PNG, centimetres for PDF and SVG; nothing unless both are numbers from
// 16 pixels (1 cm) to 16000 pixels (200 cm).
std::optional<PictureSize> picture_size(std::string_view text, PictureFormat format);

// The part of the axis that the multiplets (or lines) stand in, with a margin of a
// twentieth of the axis either side; the whole axis without any.
Range signal_range(const processing::Spectrum& spectrum, const analysis::Analysis& analysis);

// The part of the spectrum within range drawn: its title, the trace with its tallest line
// at the top, the axis (ppm, or Hz without a frequency) with its ticks, each multiplet in
// range labelled above its lines ("3.69 q 2H", leader lines where labels stand apart from
// their lines) with its running integral over its lines and its protons under the axis;
// for other nuclei, each line's shift. The file's bytes; nothing when the drawing failed.
std::optional<std::string> picture_of(const processing::Spectrum& spectrum, const analysis::Analysis& analysis,
                                      const Range& range, PictureFormat format, PictureSize size);

}  // namespace spectrum
