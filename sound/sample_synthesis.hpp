// The samples of a sound: the scaled words of an FID, or two decaying test tones.
#pragma once

#include <cstdint>
#include <limits>

#include "platform/binary_file.hpp"
#include "bruker/word_format.hpp"

namespace sound {

inline constexpr int kScaleWords = 500;  // the first 500 words set the scale
inline constexpr int kLeadInWords = 80;  // never sounded: 320 bytes of 32-bit words

// Writes one 16-bit sample to wavFile and one line to listFile for every second word of
// fidFile behind its first 80 words, and returns how many it wrote. The words are read
// in the given format; the first 500 set the scale. fidFile is at its first byte,
// wavFile just behind its data chunk's header, listFile empty. In tone mode the words
// only count the samples, which are two sines f1 and f2 Hz on a 44100 Hz time base with
// a common decay. No more than mostSamples are made: the rest of the FID is not read.
std::int64_t makesamples(platform::BinaryFile& fidFile, platform::BinaryFile& wavFile,
                         platform::BinaryFile& listFile, bool toneMode, std::int16_t f1,
                         std::int16_t f2, bruker::WordFormat format = {},
                         std::int64_t mostSamples = std::numeric_limits<std::int64_t>::max());

// How many samples makesamples makes of an FID of fidBytes bytes, with no limit: one for
// every second word behind the lead-in, where a last word cut short (or the read that
// finds the end just behind a whole word) still counts as a word.
std::int64_t samples_of(std::int64_t fidBytes, bruker::WordFormat format = {});

}  // namespace sound
