// Where 0 ppm lies: the operator's calibration, TMS, the solvent's residual line, or the
// spectrometer's base frequency.
#pragma once

#include <optional>
#include <string>

#include "processing/spectrum.hpp"

namespace processing {

// Sets the spectrum's 0 ppm, its axis so far on the base frequency (frequencyMHz BF1), and
// says what set it (spectrum.referencing):
// - operatorMHz, the frequency the operator calibrated as 0 ppm, when there is one;
// - else TMS's singlet at 0.00, where the sample holds it: a sharp line that matches a
//   singlet, within 0.05 ppm (1H; 0.5 ppm for 13C) of where the solvent's line puts 0,
//   else (a locked magnet) within 0.1 ppm of 0 on the base frequency's axis, unless the
//   solvent's line lies nearer its own place;
// - else the residual line of the solvent the spectrum names (1H and 13C), at its
//   tabulated shift: of the lines within reach of that shift (0.2 ppm for 1H, 2 ppm for
//   13C; 2.5 ppm and 4 ppm at the fields of benchtop instruments, which may run unlocked),
//   the one whose surroundings match its pattern (a singlet, or the 1:1:1, 1:2:3:2:1 or
//   1:3:6:7:6:3:1 multiplet of its coupling to deuterium) best, nearest its place, with
//   the water dissolved in it where it belongs; a singlet must stand at least 3 % of the
//   tallest point high, with no partner (see has_partner());
// - else the base frequency stays, and the spectrum is not referenced.
// noise: the spectrum's noise level, which a reference line stands well above.
void reference(Spectrum& spectrum, std::optional<double> operatorMHz, double noise);

// The solvent a title names ("Ibuprofene in DMSO-d6"): a word of it that is a deuterated
// solvent's name ("CDCl3", "DMSO-d6", "MeOD", "methanol-d4"), as chemists write it; empty
// when it names none.
std::string solvent_in_title(const std::string& title);

// What set the axis, in a few words: "referenced to CHCl3 at 7.26 ppm", "referenced to
// TMS at 0.00 ppm", "the operator's calibration", "not referenced: no TMS or CDCl3 line
// found"; empty for a spectrum without a ppm axis.
std::string referencing_text(const Spectrum& spectrum);

}  // namespace processing
