// The RIFF WAVE layout of the sound file: template reading, header writing and finishing.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/binary_file.hpp"
#include "platform/file_system.hpp"

namespace sound {

using ChunkId = std::array<char, 4>;

inline constexpr ChunkId kRiffId{'R', 'I', 'F', 'F'};
inline constexpr ChunkId kWaveId{'W', 'A', 'V', 'E'};
inline constexpr ChunkId kFmtId{'f', 'm', 't', ' '};
inline constexpr ChunkId kFactId{'f', 'a', 'c', 't'};  // carries the comment
inline constexpr ChunkId kDataId{'d', 'a', 't', 'a'};

struct RiffHeader {
  static constexpr std::size_t kBytes = 12;
  ChunkId id{};
  std::int32_t size = 0;
  ChunkId formType{};
};

struct ChunkHeader {
  static constexpr std::size_t kBytes = 8;
  ChunkId id{};
  std::int32_t size = 0;
};

struct WaveFormat {  // the body of "fmt "
  static constexpr std::size_t kBytes = 16;
  std::int16_t formatTag = 0;
  std::int16_t channels = 0;
  std::int32_t sampleRate = 0;
  std::int32_t byteRate = 0;
  std::int16_t blockAlign = 0;
  std::int16_t bitsPerSample = 0;
};

// What one sound request keeps from reading the template to finishing the file.
struct WaveHeaders {
  RiffHeader riff;
  ChunkHeader fmtHeader;
  WaveFormat format;
  ChunkHeader commentHeader;
  std::string comment;  // padded by writeheader
  ChunkHeader dataHeader;
};

// The most a WAVE file holds: its RIFF size (the file's length less 8) below 2^32, and a
// sample count within 32 bits (about 72 hours of sound at "x 1"). Lowered only by tests.
struct WaveLimit {
  std::int64_t mostRiffSize = 0xFFFFFFFF;
  std::int64_t mostSamples = 0x7FFFFFFF;
};

// A sample's bytes as the WAVE file holds them: little-endian.
inline std::uint16_t little_endian(std::uint16_t sample) {
  if constexpr (std::endian::native == std::endian::big) return static_cast<std::uint16_t>(sample << 8 | sample >> 8);
  return sample;
}

// How many 16-bit samples a file keeps within limit behind a header of headerBytes, the
// data chunk's header included.
std::int64_t most_samples(std::int64_t headerBytes, const WaveLimit& limit = {});

// The standard header: 16-bit mono PCM, as when no template supplies one.
WaveHeaders standard_headers();

// Reads the template's headers up to its data chunk; without one, the default 16-bit mono
// PCM header. A missing template is created empty. The loop also ends once any operation
// has raised the file system's failure flag.
WaveHeaders readtemplate(platform::FileSystem& files, std::string_view path);

// Writes the headers, the comment chunk (comment padded with 1 to 8 blanks to a multiple
// of 8) and the data chunk's header at the file's position, and keeps the padded comment.
void writeheader(platform::BinaryFile& file, WaveHeaders& headers, const std::string& comment);

// Rewrites the whole header at the start of the file with the final rate and sizes.
// The two sizes are unsigned, as WAVE readers take them: one of 2^31 or more goes out as
// its 32 bits. A size that does not fit 32 bits leaves its field as it was.
void finishheader(platform::BinaryFile& file, WaveHeaders& headers, std::int32_t sampleRate,
                  std::int64_t sampleCount);

}  // namespace sound
