// The deuterated solvents of NMR and their residual lines, as Fulmer et al. tabulate them
// (Organometallics 29 (2010) 2176): where each lies and what pattern its coupling to
// deuterium gives it. For referencing a spectrum and for leaving those lines out of
// what is reported.
#pragma once

#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace common {

// A residual line: its compound, its shift, and its pattern, a coupling of J Hz to this
// many deuterons (spin 1: each splits a line in three, 1:1:1). 0 deuterons: a singlet.
struct ResidualLine {
  std::string_view compound;  // "CHCl3", "DMSO-d5"; for a carbon the solvent itself
  double ppm = 0;             // 0 with no such line
  int deuterons = 0;
  double couplingHz = 0;
};

struct Solvent {
  std::string_view name;  // as chemists write it
  ResidualLine proton;    // its residual protons' line
  ResidualLine carbon;    // its carbons' line (the one referenced to)
  std::array<double, 4> otherCarbonsPpm;  // its other carbons' lines; 0: none
  double waterPpm;        // where the water dissolved in it lies
  std::array<std::string_view, 5> aliases;  // letters and digits only, in lower case; "" for none
};

inline constexpr Solvent kSolvents[] = {
    {"CDCl3", {"CHCl3", 7.26, 0, 0}, {"CDCl3", 77.16, 1, 32.0}, {}, 1.56,
     {"cdcl3", "chloroformd", "chloroformd1", "deuterochloroform", "chloroform"}},
    {"DMSO-d6", {"DMSO-d5", 2.50, 2, 1.9}, {"DMSO-d6", 39.52, 3, 21.0}, {}, 3.33,
     {"dmsod6", "dmso", "dimethylsulfoxided6", "dimethylsulfoxide", "d6dmso"}},
    {"CD3OD", {"CHD2OD", 3.31, 2, 1.7}, {"CD3OD", 49.00, 3, 21.4}, {}, 4.87,
     {"cd3od", "meod", "methanold4", "methanol", "meodd4"}},
    {"D2O", {"HDO", 4.79, 0, 0}, {}, {}, 4.79, {"d2o", "deuteriumoxide", "heavywater", "", ""}},
    {"acetone-d6", {"acetone-d5", 2.05, 2, 2.2}, {"acetone-d6", 29.84, 3, 19.4}, {206.26}, 2.84,
     {"acetoned6", "acetone", "cd32co", "d6acetone", ""}},
    {"C6D6", {"C6D5H", 7.16, 0, 0}, {"C6D6", 128.06, 1, 24.3}, {}, 0.40, {"c6d6", "benzened6", "benzene", "d6benzene", ""}},
    {"CD3CN", {"CHD2CN", 1.94, 2, 2.5}, {"CD3CN", 1.32, 3, 21.0}, {118.26}, 2.13,
     {"cd3cn", "acetonitriled3", "acetonitrile", "d3acetonitrile", ""}},
    {"CD2Cl2", {"CHDCl2", 5.32, 1, 1.0}, {"CD2Cl2", 53.84, 2, 27.2}, {}, 1.52,
     {"cd2cl2", "dichloromethaned2", "methylenechlorided2", "dichloromethane", ""}},
    {"THF-d8", {"THF-d7", 3.58, 0, 0}, {"THF-d8", 67.21, 2, 22.0}, {25.31}, 2.46, {"thfd8", "thf", "tetrahydrofurand8", "", ""}},
    {"toluene-d8", {"toluene-d7", 2.08, 2, 2.3}, {"toluene-d8", 20.43, 3, 19.0}, {137.48, 128.87, 127.96, 125.13}, 0.43,
     {"toluened8", "toluene", "d8toluene", "", ""}},
};

// The name's letters and digits in lower case: how aliases are compared.
inline std::string solvent_key(std::string_view name) {
  std::string key;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

// The solvent a maker's name stands for ("DMSO", "CHLOROFORM-D", "Methanol-d4", "cdcl3");
// nothing for a name it does not know.
inline const Solvent* solvent_named(std::string_view name) {
  const std::string key = solvent_key(name);
  for (const Solvent& s : kSolvents) {
    for (const std::string_view alias : s.aliases) {
      if (!alias.empty() && key == alias) return &s;
    }
  }
  return nullptr;
}

}  // namespace common
