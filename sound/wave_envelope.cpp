// A WAVE file's sound in a few stretches.
#include "sound/wave_envelope.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/binary_file.hpp"
#include "sound/wave_container.hpp"

namespace sound {
namespace {

std::uint32_t le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// The data chunk's first byte and its length in bytes, within the file; nothing without one.
std::optional<std::pair<std::int64_t, std::int64_t>> data_chunk(platform::BinaryFile& file) {
  const std::int64_t length = file.length();
  unsigned char riff[RiffHeader::kBytes], header[ChunkHeader::kBytes];
  if (file.read(riff, sizeof riff) != sizeof riff || std::memcmp(riff, kRiffId.data(), 4) != 0) return std::nullopt;
  // Chunks are word-aligned: an odd size is followed by a pad byte.
  for (std::int64_t at = RiffHeader::kBytes; at + static_cast<std::int64_t>(ChunkHeader::kBytes) <= length;) {
    if (!file.set_position(at + 1) || file.read(header, sizeof header) != sizeof header) return std::nullopt;
    const std::int64_t size = le32(header + 4), body = at + static_cast<std::int64_t>(ChunkHeader::kBytes);
    if (std::memcmp(header, kDataId.data(), 4) == 0) return std::pair{body, std::min(size, length - body)};
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

}  // namespace

Envelope wave_envelope(const platform::Drive& drive, std::string_view path, std::size_t stretches) {
  platform::FailureFlag failures;
  platform::BinaryFile file(drive.resolve(path), platform::BinaryFile::Mode::Reading, failures);
  const auto data = file.is_open() ? data_chunk(file) : std::nullopt;
  Envelope e;
  if (!data || stretches == 0 || data->second < 2) return e;
  e.samples = data->second / 2;
  e.low.assign(stretches, INT16_MAX);
  e.high.assign(stretches, INT16_MIN);
  // Through a fixed buffer, however long the sound.
  std::array<unsigned char, 64 * 1024> block;
  std::int64_t sample = 0;
  while (sample < e.samples) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(block.size() / 2, e.samples - sample));
    const std::size_t got = file.read(block.data(), want * 2) / 2;
    for (std::size_t k = 0; k < got; ++k, ++sample) {
      const auto value = static_cast<std::int16_t>(block[2 * k] | block[2 * k + 1] << 8);
      const auto s = static_cast<std::size_t>(sample * static_cast<std::int64_t>(stretches) / e.samples);
      e.low[s] = std::min(e.low[s], value);
      e.high[s] = std::max(e.high[s], value);
    }
    if (got < want) break;
  }
  // Stretches that no sample fell in (fewer samples than stretches, a file cut short): 0.
  for (std::size_t s = 0; s < stretches; ++s) {
    if (e.low[s] > e.high[s]) e.low[s] = e.high[s] = 0;
  }
  return e;
}

}  // namespace sound
