// Agilent/Varian VnmrJ datasets: a "fid" file with "procpar" (and "text") beside it.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dataset.hpp"
#include "formats/source.hpp"

namespace formats {

// Whether the file's 32-byte header holds sizes that add up to its length, and a
// procpar lies beside it.
bool is_varian_vnmrj(Source& source);

// Every trace of every block, each an FID of 16-bit, 32-bit or float words as the
// header's status says (big-endian). From procpar: sw, sfrq, tn, and the referencing
// rfl and rfp; the title from text. VnmrJ's imaginary parts run the other way round from
// Bruker's: they are negated.
Reading read_varian_vnmrj(Source& source, PointSink& sink);

// procpar's parameters by name, each with its values (strings without their quotes);
// the reason when the text breaks off inside a parameter.
struct Procpar {
  std::map<std::string, std::vector<std::string>> values;
  std::string damage;
};
Procpar parse_procpar(std::string_view text);

}  // namespace formats
