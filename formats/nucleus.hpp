// A nucleus named as chemists write it, however a maker names it.
#pragma once

#include <string>
#include <string_view>

namespace formats {

// "1H", "13C", "19F" from "Proton", "Carbon13", "Fluorine19" (JEOL), "H1", "C13" (Varian),
// "^1H" (JCAMP-DX) or "1H" itself. A name it cannot place comes back as it is.
std::string nucleus_symbol(std::string_view name);

}  // namespace formats
