// Automatic phase correction of a complex spectrum, zero and first order.
#pragma once

#include <vector>

#include "processing/fourier.hpp"
#include "processing/spectrum.hpp"

namespace processing {

// Point i of n is turned by -(zero + first * i / n) radians: zero is the correction at the
// left edge, first its growth across the spectrum.
struct Phase {
  double zero = 0;
  double first = 0;
};

// The phase that makes the spectrum's lines absorptive, in two steps:
// 1. the phase of the tallest lines' tops, each where its magnitude peaks, fitted by a
//    straight line across the spectrum (weighted by height, wrapped phases unwrapped
//    against the fit, outliers weighed down): close, but biased where lines overlap;
// 2. from there, the minimum of Chen et al.'s entropy criterion (ACME, J. Magn. Reson.
//    158 (2002) 164): the entropy of the real part's normalised derivative, which
//    absorptive lines make smallest, plus a penalty on negative intensity, evaluated
//    on 15 Hz either side of the 16 tallest lines spread over the spectrum, by Nelder
//    and Mead's simplex.
Phase automatic_phase(const ComplexPoints& spectrum, double hzPerPoint);

// The real part of the spectrum turned by the phase.
Intensities phased(const ComplexPoints& spectrum, Phase phase);

}  // namespace processing
