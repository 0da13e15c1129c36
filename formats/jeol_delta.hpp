// JEOL Delta data files (.jdf): a binary header, a parameter section and the data.
#pragma once

#include <string_view>

#include "formats/dataset.hpp"
#include "formats/source.hpp"

namespace formats {

// Whether the file begins with JEOL's mark, "JEOL.NMR".
bool is_jeol_delta(std::string_view head);

// A 1D or 2D time-domain .jdf: its real and imaginary sections (in 32 x 32 submatrices
// for 2D) as complex points, each row of the first axis one FID (a 2D complex along the
// second axis too gives each row's two parts as two FIDs); axes real, TPPI, complex or
// real-complex (a 2D complex along its first axis and real along the other); the sweep, frequency,
// offset and nucleus from its parameters (X_SWEEP, X_FREQ, X_OFFSET, X_DOMAIN), else
// from its header's axis; the title from its header. JEOL's imaginary parts run the
// other way round from Bruker's: they are negated.
Reading read_jeol_delta(Source& source, PointSink& sink);

}  // namespace formats
