// The part of a spectrum's axis that the window shows, "hear Spectrum" plays and the
// steps go through: zoomed, panned and kept within the spectrum.
#pragma once

#include "spectrum/trace.hpp"

namespace window {

using spectrum::Range;

// r within whole, moved rather than shrunk where it passes an end, and at least
// leastWidth wide (the whole, when that is narrower still).
Range clamped(Range r, const Range& whole, double leastWidth);

// factor times narrower (wider, below 1), the value `fixed` standing where it stood.
Range zoomed(const Range& r, double factor, double fixed);

// The same width, moved by fraction of it to the right (a negative fraction: the left).
Range panned(const Range& r, double fraction);

// The same width, value at its centre.
Range centred(const Range& r, double value);

}  // namespace window
