// The deuterated solvents of NMR and where their residual lines lie: for referencing a
// spectrum and for leaving those lines out of what is reported.
#pragma once

#include <cctype>
#include <array>
#include <string>
#include <string_view>

namespace common {

struct Solvent {
  std::string_view name;  // as chemists write it
  double protonPpm;       // the residual protons' line
  double carbonPpm;       // the carbons' line; 0 where there is none
  int protonLines;        // 1: a singlet; 5: a quintet (a CHD2 group's)
  double waterPpm;        // where the water dissolved in it lies, about
  std::array<std::string_view, 4> aliases;  // letters and digits only, in lower case; "" for none
};

inline constexpr Solvent kSolvents[] = {
    {"CDCl3", 7.26, 77.16, 1, 1.56, {"cdcl3", "chloroformd", "chloroform", "deuterochloroform"}},
    {"DMSO-d6", 2.50, 39.52, 5, 3.33, {"dmsod6", "dmso", "dimethylsulfoxided6", "dimethylsulfoxide"}},
    {"CD3OD", 3.31, 49.00, 5, 4.87, {"cd3od", "meod", "methanold4", "methanol"}},
    {"D2O", 4.79, 0, 1, 4.79, {"d2o", "deuteriumoxide", "heavywater", ""}},
    {"acetone-d6", 2.05, 29.84, 5, 2.84, {"acetoned6", "acetone", "cd32co", ""}},
    {"C6D6", 7.16, 128.06, 1, 0.40, {"c6d6", "benzened6", "benzene", ""}},
    {"CD3CN", 1.94, 1.32, 5, 2.13, {"cd3cn", "acetonitriled3", "acetonitrile", ""}},
};

// The solvent a maker's name stands for ("DMSO", "CHLOROFORM-D", "Methanol-d4", "cdcl3");
// nothing for a name it does not know.
inline const Solvent* solvent_named(std::string_view name) {
  std::string key;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const Solvent& s : kSolvents) {
    for (const std::string_view alias : s.aliases) {
      if (!alias.empty() && key == alias) return &s;
    }
  }
  return nullptr;
}

}  // namespace common
