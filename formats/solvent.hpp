// A solvent named as chemists write it, however a maker names it.
#pragma once

#include <string>
#include <string_view>

namespace formats {

// "CDCl3" for "CHLOROFORM-D", "cdcl3" or "<CDCl3>"; a name it does not know, trimmed of
// blanks and angle brackets, as it is.
std::string solvent_name(std::string_view name);

}  // namespace formats
