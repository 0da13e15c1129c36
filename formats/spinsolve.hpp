// Magritek Spinsolve datasets: "data.1d" (or "data.2d") with "acqu.par" beside it.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "formats/dataset.hpp"
#include "formats/source.hpp"

namespace formats {

// Whether the file opens with the mark of Spinsolve's data files: the words "PROS" and
// "DATA", little-endian, so that its first bytes read "SORPATAD".
bool is_spinsolve(std::string_view head);

// Its 32-byte header (owner, format and version, the data type, and four dimensions,
// little-endian 32-bit words), its time axis (for the type that carries one) and its
// complex float points, each row of the first dimension an FID. From acqu.par: b1Freq,
// bandwidth (kHz), lowestFrequency, rxChannel, and graphText (else the Sample) as title.
// A spectrum ("spectrum.1d", "spectrum_processed.1d", or an axis that is not one of
// time) is refused.
Reading read_spinsolve(Source& source, PointSink& sink);

// acqu.par's "key = value" lines, keys in lower case, values without their quotes.
std::map<std::string, std::string> parse_acqu_par(std::string_view text);

}  // namespace formats
