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
};

// The first FID of a dataset's FID (or ser) file, its words read as acqus says (BYTORDA,
// DTYPA): every word from the first on, TD / 2 points of them (the file's when acqus gives
// no TD, or a larger one), at most kMostFidPoints. A word that is no finite number reads
// as 0.
Fid first_fid(platform::FileSystem& files, std::string_view path, std::string_view acqus);

// The complex spectrum of an FID sampled at sweepHz, made in its buffer: each point
// multiplied by the exponential that broadens lines by broadeningHz, the zeros behind
// them, the forward transform, and the digital filter's delay (in points, a fraction too)
// taken out as the straight-line phase it causes. Point i of n lies at
// (n / 2 - i) * sweepHz / n Hz from the carrier: from the highest frequency down, as a
// spectrum is drawn and as Bruker's processed spectra run. Nothing for fewer than 2 points.
std::optional<ComplexPoints> transformed(Fid fid, double sweepHz, double broadeningHz, double delayPoints);

}  // namespace processing
