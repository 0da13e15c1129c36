// The samples of a sound.
#include "sound/sample_synthesis.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

#include "platform/text.hpp"
#include "sound/listing_writer.hpp"
#include "sound/wave_container.hpp"

namespace sound {
namespace {

constexpr double kLeastScale = 1000.0;
constexpr double kFullScale = 30000.0;
constexpr double kToneRate = 44100.0;
constexpr double kPi = 3.1415926;  // this value exactly: it shapes the sound
constexpr double kToneAmplitude = 32000.0;
constexpr double kDecaySamples = 15000.0;
constexpr std::size_t kBlockPairs = ListingWriter::kMostValues;

// What carries from one sample to the next.
struct Synthesis {
  bool toneMode;
  std::int16_t f1, f2;
  // At least 1000. Kept as a double: 64-bit words' magnitudes are not rounded into it.
  double scaleMax = kLeastScale;
  // Shared with the scale scan: before the first sample it holds the magnitude of the
  // last word scanned, which a first value too large for 32 bits then repeats.
  std::int32_t value = 0;
  std::int16_t held = 0;  // the last value that fitted 16 bits
  std::int64_t count = 0;

  // A word of the scale scan. A word without a magnitude (-2^31 in 32 bits, NaN or an
  // infinity) leaves the scale and the value alone.
  void scan(std::int32_t word) {
    if (word == std::numeric_limits<std::int32_t>::min()) return;
    value = std::abs(word);
    scaleMax = std::max(scaleMax, static_cast<double>(value));
  }
  void scan(double word) {
    if (!std::isfinite(word)) return;
    const double magnitude = std::fabs(word);
    if (const auto rounded = platform::round_to_int32(magnitude)) value = *rounded;
    scaleMax = std::max(scaleMax, magnitude);
  }

  // Makes the sample for a sounded word (unused in tone mode): sets value and held. A
  // value that cannot be rounded into 32 bits (a NaN word among them) keeps the last one.
  template <typename Word>
  void next(Word word) {
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

// One word format, decoded inline in the loops below.
template <bruker::ByteOrder Order, bruker::WordType Type>
struct Words {
  using Word = std::conditional_t<Type == bruker::WordType::Int32, std::int32_t, double>;
  static constexpr std::size_t kBytes = sizeof(Word);
  static Word at(const unsigned char* p) {
    if constexpr (Type == bruker::WordType::Int32) {
      return bruker::int32_at<Order>(p);
    } else {
      return bruker::float64_at<Order>(p);
    }
  }
};

// The pairs that lie wholly behind the lead-in, a block at a time: no read among them
// meets the end of the file, so they need none of the word-by-word end handling.
template <typename W>
void sound_whole_pairs(platform::BinaryFile& fid, platform::BinaryFile& wav,
                       platform::BinaryFile& list, Synthesis& carried, std::int64_t most) {
  constexpr std::size_t kPairBytes = 2 * W::kBytes;
  // A whole file buffer's worth at a time: a read that large goes straight from the
  // file into this block, without a copy through the file's own buffer.
  constexpr std::size_t kReadPairs = platform::BinaryFile::kBufferSize / kPairBytes;
  const std::unique_ptr<unsigned char[]> pairs(new (std::nothrow) unsigned char[kReadPairs * kPairBytes]);
  std::uint16_t samples[kBlockPairs];
  const std::int64_t length = fid.length();
  const std::int64_t leadIn = kLeadInWords * static_cast<std::int64_t>(W::kBytes);
  std::int64_t left = std::min((length - leadIn) / static_cast<std::int64_t>(kPairBytes), most - carried.count);
  if (left <= 0 || !pairs) return;
  // A copy the compiler may keep in registers: stores into the arrays below could
  // otherwise alias it, and each sample would wait on the one before through memory.
  Synthesis s = carried;
  ListingWriter listing(list);
  while (left > 0) {
    const auto read = static_cast<std::size_t>(std::min<std::int64_t>(left, kReadPairs));
    fid.read(pairs.get(), kPairBytes * read);
    for (std::size_t first = 0; first < read; first += kBlockPairs) {
      const std::size_t n = std::min(kBlockPairs, read - first);
      const unsigned char* block = pairs.get() + kPairBytes * first;
      std::int32_t* values = listing.room(n);
      for (std::size_t i = 0; i < n; ++i) {
        s.next(W::at(block + kPairBytes * i + W::kBytes));  // the second word of the pair
        samples[i] = little_endian(static_cast<std::uint16_t>(s.held));
        values[i] = s.value;
      }
      listing.filled(n);
      wav.write(samples, 2 * n);
    }
    left -= static_cast<std::int64_t>(read);
  }
  carried = s;
}

template <typename W>
std::int64_t make(platform::BinaryFile& fid, platform::BinaryFile& wav, platform::BinaryFile& list,
                  Synthesis& s, std::int64_t most) {
  // A read that fails leaves these bytes, and so the word, as they were.
  unsigned char word[W::kBytes] = {};
  for (int i = 0; i < kScaleWords; ++i) {
    fid.read(word, W::kBytes);
    s.scan(W::at(word));
  }

  fid.set_position(kLeadInWords * static_cast<std::int64_t>(W::kBytes) + 1);
  sound_whole_pairs<W>(fid, wav, list, s, most);

  // The last words, where the end of the file decides, one at a time. The test comes
  // before each read, so the read that meets the end still counts as a word; its missing
  // bytes read as zeros.
  std::int64_t wordCount = 0;
  while (!fid.eof() && s.count < most) {
    fid.read(word, W::kBytes);
    // The first word of each pair is dropped, the second sounded.
    if (++wordCount % 2 == 1) continue;
    s.next(W::at(word));
    wav.write_le16(s.held);
    write_lines(list, &s.value, 1);
  }
  return s.count;
}

}  // namespace

std::int64_t makesamples(platform::BinaryFile& fidFile, platform::BinaryFile& wavFile,
                         platform::BinaryFile& listFile, bool toneMode, std::int16_t f1,
                         std::int16_t f2, bruker::WordFormat format, std::int64_t mostSamples) {
  Synthesis s{toneMode, f1, f2};
  const bool little = format.order == bruker::ByteOrder::Little;
  const std::int64_t most = std::max<std::int64_t>(mostSamples, 0);
  if (format.type == bruker::WordType::Int32) {
    return little ? make<Words<bruker::ByteOrder::Little, bruker::WordType::Int32>>(fidFile, wavFile, listFile, s, most)
                  : make<Words<bruker::ByteOrder::Big, bruker::WordType::Int32>>(fidFile, wavFile, listFile, s, most);
  }
  return little ? make<Words<bruker::ByteOrder::Little, bruker::WordType::Float64>>(fidFile, wavFile, listFile, s, most)
                : make<Words<bruker::ByteOrder::Big, bruker::WordType::Float64>>(fidFile, wavFile, listFile, s, most);
}

std::int64_t samples_of(std::int64_t fidBytes, bruker::WordFormat format) {
  const auto wordBytes = static_cast<std::int64_t>(format.bytes());
  const std::int64_t behind = std::max<std::int64_t>(fidBytes - kLeadInWords * wordBytes, 0);
  // Whole words, and the read that meets the end: a word too.
  return (behind / wordBytes + 1) / 2;
}

}  // namespace sound
