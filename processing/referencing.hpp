// Where 0 ppm lies: the operator's calibration, TMS, the solvent's residual line, or the
// spectrometer's base frequency.
#pragma once

#include <optional>

#include "processing/spectrum.hpp"

namespace processing {

// Sets the spectrum's 0 ppm, its axis so far on the base frequency (frequencyMHz BF1):
// - operatorMHz, the frequency the operator calibrated as 0 ppm, when there is one;
// - else TMS: the tallest sharp singlet within 0.1 ppm of 0 becomes 0.00;
// - else the solvent's residual line: the line nearest the solvent's shift within 0.1 ppm
//   (for a quintet, the tallest within 0.01 ppm of that) becomes that shift;
// - else the base frequency stays.
// noise: the spectrum's noise level, which a reference line stands well above.
void reference(Spectrum& spectrum, std::optional<double> operatorMHz, double noise);

}  // namespace processing
