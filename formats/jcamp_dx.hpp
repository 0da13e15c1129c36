// JCAMP-DX files (4.24, 5.0, 6.0; .jdx, .dx, any name) that hold an NMR FID.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dataset.hpp"
#include "formats/source.hpp"

namespace formats {

// Whether the file opens as JCAMP-DX does: with a "##TITLE=" or "##JCAMP-DX=" record.
bool is_jcamp_dx(std::string_view head);

// The first block whose DATA TYPE is an NMR FID of the NTUPLES class (in a compound
// file, ##BLOCKS, the first such block): its real and imaginary pages, one pair an FID,
// in any of the table forms (AFFN, PAC, SQZ, DIF with its check value, DUP), times their
// ##FACTORs. Sweep from ##$SW_h, else the time axis (##FIRST, ##LAST, ##VAR_DIM);
// frequency from ##$BF1, else ##.OBSERVE FREQUENCY; the carrier from ##$O1, else
// ##.SHIFT REFERENCE; the nucleus from ##.OBSERVE NUCLEUS; the title from ##TITLE.
Reading read_jcamp_dx(Source& source, PointSink& sink);

// A spectrum's table "(X++(Y..Y))" as JCAMP-DX holds it: its first and last abscissa, its
// ordinates times YFACTOR, and what its block says of it.
struct JcampSpectrum {
  double firstX = 0, lastX = 0;
  std::vector<double> y;
  std::string title;
  std::string xUnits;        // "HZ", "PPM", ...
  double observeMHz = 0;     // ##.OBSERVE FREQUENCY
};

// The first block whose ##XYDATA is (X++(Y..Y)), in any of the table forms; nothing, and
// why in `why`, when there is none or its points do not match its ##NPOINTS.
std::optional<JcampSpectrum> read_jcamp_spectrum(Source& source, std::string& why);

// A label as JCAMP-DX compares them: letters in upper case, and no blanks, dashes,
// slashes or underscores ("##$SW_h" and "##$swh" are one label, "$SWH").
std::string jcamp_label(std::string_view label);

}  // namespace formats
