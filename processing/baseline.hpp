// Baseline correction: a smooth curve through the points without signal, taken away.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace processing {

// Which points carry no signal, after Dietrich, Rüdel and Neumann (J. Magn. Reson. 91
// (1991) 1): the absolute first difference, averaged over 2 Hz either side, is below
// its mean plus three standard deviations over the points so marked (found again until
// it settles); every point within 4 Hz of one above is signal too.
// A byte a point: 1 where it is free of signal, 0 where not.
using FreeOfSignal = std::vector<std::uint8_t>;
FreeOfSignal signal_free(std::span<const double> points, double hzPerPoint);

// Takes away the polynomial of degree 5 (in Legendre's basis over the spectrum) that
// fits the signal-free points best; nothing when fewer than a tenth of them are free.
void subtract_baseline(std::span<double> points, const FreeOfSignal& free);

// The standard deviation of the signal-free points: the noise a line stands above.
double noise_of(std::span<const double> points, const FreeOfSignal& free);

}  // namespace processing
