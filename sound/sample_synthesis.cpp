// The samples of a sound.
#include "sound/sample_synthesis.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/byte_order.hpp"
#include "platform/text.hpp"

namespace sound {
namespace {

constexpr int kScaleWords = 500;                     // bytes 0 to 1999 set the scale
constexpr std::int64_t kLeadInBytes = 320;           // never sounded
constexpr std::int32_t kLeastScale = 1000;
constexpr double kFullScale = 30000.0;
constexpr double kToneRate = 44100.0;
constexpr double kPi = 3.1415926;  // this value exactly: it shapes the sound
constexpr double kToneAmplitude = 32000.0;
constexpr double kDecaySamples = 15000.0;
constexpr std::size_t kBlockPairs = 4096;

// What carries from one sample to the next.
struct Synthesis {
  bool toneMode;
  std::int16_t f1, f2;
  std::int32_t scaleMax = kLeastScale;
  // Shared with the scale scan: before the first sample it holds the magnitude of the
  // last word scanned, which a first value too large for 32 bits then repeats.
  std::int32_t value = 0;
  std::int16_t held = 0;  // the last value that fitted 16 bits
  std::int64_t count = 0;

  // Makes the sample for a sounded word (unused in tone mode): sets value and held.
  void next(std::int32_t word) {
    const double exact = toneMode ? tone_value() : static_cast<double>(word) / scaleMax * kFullScale;
    if (const auto rounded = platform::round_to_int32(exact)) value = *rounded;
    // Out of 16-bit range, the last sample that fitted is repeated rather than clipped.
    if (value >= -32768 && value <= 32767) held = static_cast<std::int16_t>(value);
    ++count;
  }

  double tone_value() const {
    const double t = static_cast<double>(count) / kToneRate;
    return (std::sin(f1 * t * 2 * kPi) + std::sin(f2 * t * 2 * kPi)) * kToneAmplitude *
           std::exp(-static_cast<double>(count) / kDecaySamples);
  }
};

// The pairs that lie wholly behind the lead-in, a block at a time: no read among them
// meets the end of the file, so they need none of the word-by-word end handling.
void sound_whole_pairs(platform::BinaryFile& fid, platform::BinaryFile& wav,
                       platform::BinaryFile& list, Synthesis& s) {
  unsigned char pairs[8 * kBlockPairs];
  unsigned char samples[2 * kBlockPairs];
  std::int32_t values[kBlockPairs];
  const std::int64_t length = fid.length();
  for (std::int64_t left = (length - kLeadInBytes) / 8; left > 0;) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, kBlockPairs));
    fid.read(pairs, 8 * n);
    for (std::size_t i = 0; i < n; ++i) {
      s.next(platform::be32_at(pairs + 8 * i + 4));  // the second word of the pair
      const auto held = static_cast<std::uint16_t>(s.held);
      samples[2 * i] = static_cast<unsigned char>(held);
      samples[2 * i + 1] = static_cast<unsigned char>(held >> 8);
      values[i] = s.value;
    }
    wav.write(samples, 2 * n);
    list.write_lines(values, n);
    left -= static_cast<std::int64_t>(n);
  }
}

}  // namespace

std::int64_t makesamples(platform::BinaryFile& fidFile, platform::BinaryFile& wavFile,
                         platform::BinaryFile& listFile, bool toneMode, std::int16_t f1,
                         std::int16_t f2) {
  Synthesis s{toneMode, f1, f2};
  std::int32_t word = 0;
  for (int i = 0; i < kScaleWords; ++i) {
    fidFile.read_be32(word);
    if (word == std::numeric_limits<std::int32_t>::min()) continue;  // no 32-bit magnitude
    s.value = std::abs(word);
    s.scaleMax = std::max(s.scaleMax, s.value);
  }

  fidFile.set_position(kLeadInBytes + 1);
  sound_whole_pairs(fidFile, wavFile, listFile, s);

  // The last words, where the end of the file decides, one at a time. The test comes
  // before each read, so the read that meets the end still counts as a word.
  std::int64_t wordCount = 0;
  while (!fidFile.eof()) {
    fidFile.read_be32(word);
    // The first word of each pair is dropped, the second sounded.
    if (++wordCount % 2 == 1) continue;
    s.next(word);
    wavFile.write_le16(s.held);
    listFile.write_line(s.value);
  }
  return s.count;
}

}  // namespace sound
