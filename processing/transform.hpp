// From an FID to its complex spectrum, as an NMR program transforms it.
#pragma once

#include <complex>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/file_system.hpp"
#include "processing/fourier.hpp"

namespace processing {

// Beyond this many complex points an FID is transformed from its first ones only: a 1D FID
// has decayed long before (a ser's first FID is one of many).
inline constexpr std::size_t kMostFidPoints = std::size_t{1} << 18;

// An FID's points at the front of a buffer long enough for its transform: the power of two
// at least twice as long, zeros behind them.
struct Fid {
  ComplexPoints buffer{0};
  std::size_t points = 0;
  bool nonNumbers = false;  // a word that is no finite number was read (as 0)
  int exponent = 0;         // the words were multiplied by 2^exponent
};

// The power of two that brings values whose largest magnitude is largest to 2^30, when it
// lies beyond 2^+-100 (squares of theirs would overflow or vanish); else 0.
int safe_exponent(double largest);

// The first FID of a dataset's FID (or ser) file, its words read as acqus says (BYTORDA,
// DTYPA): every word from the first on, TD / 2 points of them (the file's when acqus gives
// no TD, or a larger one), at most kMostFidPoints; from the leadIn-th point on (the zeros
// a converted FID begins with). A word that is no finite number reads as 0. Words whose
// largest magnitude lies beyond 2^+-100 (a float FID's 1e300, its denormals) are brought
// to 2^30 by a power of two, exactly, so that no sum of their squares overflows or
// vanishes.
Fid first_fid(platform::FileSystem& files, std::string_view path, std::string_view acqus, std::size_t leadIn = 0);

// The complex spectrum of an FID sampled at sweepHz, made in its buffer: each point
// multiplied by the exponential that broadens lines by broadeningHz, the zeros behind
// them, the forward transform, and the digital filter's delay (in points, a fraction too)
// taken out as the straight-line phase it causes. Point i of n lies at
// (n / 2 - i) * sweepHz / n Hz from the carrier: from the highest frequency down, as a
// spectrum is drawn and as Bruker's processed spectra run. Nothing for fewer than 2 points.
std::optional<ComplexPoints> transformed(Fid fid, double sweepHz, double broadeningHz, double delayPoints);

}  // namespace processing
