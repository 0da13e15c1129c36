// A processed spectrum as JCAMP-DX 5.01, so that another NMR program opens it.
#pragma once

#include <string>

#include "processing/spectrum.hpp"

namespace processing {

// "NMR SPECTRUM" with its real points as (X++(Y..Y)) in the DIFDUP form, the points from the
// highest frequency down, X in Hz from 0 ppm (FIRSTX, LASTX, DELTAX implied by NPOINTS),
// Y the maker's own intensities (a converted FID's power of two taken back out) as
// integers times YFACTOR; .OBSERVE FREQUENCY (MHz of 0 ppm), .OBSERVE NUCLEUS,
// .SHIFT REFERENCE (the first point's ppm), .SOLVENT NAME and TITLE. Lines of at most 80
// characters; each after the first repeats the last value before it, as the DIF form's
// check.
std::string jcamp_spectrum(const Spectrum& spectrum);

}  // namespace processing
