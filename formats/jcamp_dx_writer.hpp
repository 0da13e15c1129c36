// A processed spectrum written as JCAMP-DX 5.01, so that another NMR program opens it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace formats {

// What a spectrum's axis was referenced to: ##.SHIFT REFERENCE's fields, the kind
// ("INTERNAL"), the compound whose line set it ("CHCl3", "TMS"), the 1-based point where
// that line lies and the shift it was given. An axis that no line set names what it stands
// on ("OPERATOR", "BF1") and its first point's shift.
struct ShiftReference {
  std::string kind = "INTERNAL";
  std::string compound;
  std::int64_t point = 1;
  double ppm = 0;
};

// A real spectrum from its highest frequency down, and what a reader needs to know of it.
struct ExportedSpectrum {
  std::string title;                        // "spectrum" when empty
  std::string nucleus;                      // "1H"; empty when unknown
  std::string solvent;                      // as chemists name it; may be empty
  double observeMHz = 0;                    // the frequency of 0 ppm; 0 when unknown
  double firstHz = 0, lastHz = 0;           // the first and the last point, from 0 ppm
  std::optional<ShiftReference> reference;  // none without a ppm axis
  std::span<const double> points;
  double scale = 1;                         // points times this are the maker's intensities
};

// "NMR SPECTRUM" with its points as (X++(Y..Y)) in the DIFDUP form, X in Hz (FIRSTX, LASTX,
// DELTAX implied by NPOINTS), Y the maker's intensities as integers times YFACTOR (the
// largest about 2^30); .OBSERVE FREQUENCY, .OBSERVE NUCLEUS, .SHIFT REFERENCE, .SOLVENT NAME
// and TITLE. Lines of at most 80 characters.
std::string jcamp_spectrum(const ExportedSpectrum& spectrum);

}  // namespace formats
