// The samples of a sound.
#include "sound/sample_synthesis.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/text.hpp"

namespace sound {
namespace {

constexpr int kScaleWords = 500;                   // bytes 0 to 1999 set the scale
constexpr std::int64_t kFirstSoundedPosition = 321;  // 1-based: behind the 320-byte lead-in
constexpr std::int32_t kLeastScale = 1000;
constexpr double kFullScale = 30000.0;
constexpr double kToneRate = 44100.0;
constexpr double kPi = 3.1415926;  // this value exactly: it shapes the sound
constexpr double kToneAmplitude = 32000.0;
constexpr double kDecaySamples = 15000.0;

double tone_value(std::int16_t f1, std::int16_t f2, std::int64_t sampleCount) {
  const double t = static_cast<double>(sampleCount) / kToneRate;
  return (std::sin(f1 * t * 2 * kPi) + std::sin(f2 * t * 2 * kPi)) * kToneAmplitude *
         std::exp(-static_cast<double>(sampleCount) / kDecaySamples);
}

}  // namespace

std::int64_t makesamples(platform::BinaryFile& fidFile, platform::BinaryFile& wavFile,
                         platform::BinaryFile& listFile, bool toneMode, std::int16_t f1,
                         std::int16_t f2) {
  // The scan and the loop share value: before the first sample it holds the magnitude of
  // the last word scanned, which a first value too large for 32 bits then repeats.
  std::int32_t word = 0;
  std::int32_t value = 0;
  std::int32_t scaleMax = kLeastScale;
  for (int i = 0; i < kScaleWords; ++i) {
    fidFile.read_be32(word);
    if (word == std::numeric_limits<std::int32_t>::min()) continue;  // no 32-bit magnitude
    value = std::abs(word);
    if (value > scaleMax) scaleMax = value;
  }

  fidFile.set_position(kFirstSoundedPosition);
  std::int64_t wordCount = 0;
  std::int64_t sampleCount = 0;
  std::int16_t held = 0;
  while (!fidFile.eof()) {
    fidFile.read_be32(word);
    // The first word of each pair is dropped, the second sounded.
    if (++wordCount % 2 == 1) continue;
    const double exact = toneMode ? tone_value(f1, f2, sampleCount)
                                  : static_cast<double>(word) / scaleMax * kFullScale;
    if (const auto rounded = platform::round_to_int32(exact)) value = *rounded;
    // Out of 16-bit range, the last sample that fitted is repeated rather than clipped.
    if (value >= -32768 && value <= 32767) held = static_cast<std::int16_t>(value);
    wavFile.write_le16(held);
    ++sampleCount;
    listFile.write_line(value);
  }
  return sampleCount;
}

}  // namespace sound
