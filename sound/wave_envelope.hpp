// A WAVE file's sound in a few stretches, for a waveform view to draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/drive.hpp"

namespace sound {

// Each stretch's lowest and highest 16-bit sample, the stretches of equal length from the
// first sample of the data chunk to its last.
struct Envelope {
  std::vector<std::int16_t> low;
  std::vector<std::int16_t> high;
  std::int64_t samples = 0;
};

// Streams the data chunk of the 16-bit mono file at path (the sound requests' layout,
// whatever its other chunks); an empty envelope when there is no such chunk or no file.
// Only reads: no failure of it is the file system's.
Envelope wave_envelope(const platform::Drive& drive, std::string_view path, std::size_t stretches);

}  // namespace sound
