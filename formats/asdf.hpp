// The number forms of JCAMP-DX tables: AFFN, PAC, and the compressed SQZ, DIF and DUP.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// One line of a table "(X++(Y..Y))": its abscissa, then its ordinates.
struct AsdfLine {
  bool blank = true;       // nothing but blanks and comments
  double x = 0;
  std::vector<double> ys;
  bool endsInDif = false;  // its last ordinate came from a difference: the next line
                           // repeats it first, as a check
};

// Decodes text (without its line end) into line; the reason when it is no such line,
// or when it would hold more than most ordinates; empty when it decoded.
std::string decode_asdf_line(std::string_view text, AsdfLine& line, std::size_t most);

}  // namespace formats
