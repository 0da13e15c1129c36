// Reading back the spectrum pictures the program draws, for tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "spectrum/drawing.hpp"

namespace testsupport {

// A GIF's pixels as grey levels (0 black, 255 white), row by row; nothing when the bytes
// are not a GIF of the picture's size.
std::optional<std::vector<unsigned char>> gif_greys(const std::string& bytes);

// The x of the trace's highest dark pixel inside the plot: where its tallest peak stands.
std::optional<int> tallest_peak_x(const std::vector<unsigned char>& greys);

// Whether Ghostscript reads the file as EPS with a bounding box.
bool ghostscript_reads_eps(const std::string& path);

}  // namespace testsupport
