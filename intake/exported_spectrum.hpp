// The spectrum a dataset was taken in with, as JCAMP-DX exports it.
#pragma once

#include "formats/jcamp_dx_writer.hpp"
#include "processing/spectrum.hpp"

namespace intake {

// The spectrum's points, axis and names as the writer takes them; the shift reference
// names what set the axis. It refers to the spectrum, which must outlive it.
formats::ExportedSpectrum exported(const processing::Spectrum& spectrum);

}  // namespace intake
