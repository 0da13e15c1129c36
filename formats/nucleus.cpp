// A nucleus named as chemists write it.
#include "formats/nucleus.hpp"

#include <cctype>
#include <utility>

namespace formats {
namespace {

// The elements whose isotopes are observed by NMR, by name.
constexpr std::pair<std::string_view, std::string_view> kElements[] = {
    {"hydrogen", "H"},    {"helium", "He"},     {"lithium", "Li"},   {"beryllium", "Be"}, {"boron", "B"},
    {"carbon", "C"},      {"nitrogen", "N"},    {"oxygen", "O"},     {"fluorine", "F"},   {"neon", "Ne"},
    {"sodium", "Na"},     {"magnesium", "Mg"},  {"aluminum", "Al"},  {"aluminium", "Al"}, {"silicon", "Si"},
    {"phosphorus", "P"},  {"sulfur", "S"},      {"sulphur", "S"},    {"chlorine", "Cl"},  {"argon", "Ar"},
    {"potassium", "K"},   {"calcium", "Ca"},    {"scandium", "Sc"},  {"titanium", "Ti"},  {"vanadium", "V"},
    {"chromium", "Cr"},   {"manganese", "Mn"},  {"iron", "Fe"},      {"cobalt", "Co"},    {"nickel", "Ni"},
    {"copper", "Cu"},     {"zinc", "Zn"},       {"gallium", "Ga"},   {"germanium", "Ge"}, {"arsenic", "As"},
    {"selenium", "Se"},   {"bromine", "Br"},    {"krypton", "Kr"},   {"rubidium", "Rb"},  {"strontium", "Sr"},
    {"yttrium", "Y"},     {"zirconium", "Zr"},  {"niobium", "Nb"},   {"molybdenum", "Mo"}, {"ruthenium", "Ru"},
    {"rhodium", "Rh"},    {"palladium", "Pd"},  {"silver", "Ag"},    {"cadmium", "Cd"},   {"indium", "In"},
    {"tin", "Sn"},        {"antimony", "Sb"},   {"tellurium", "Te"}, {"iodine", "I"},     {"xenon", "Xe"},
    {"cesium", "Cs"},     {"caesium", "Cs"},    {"barium", "Ba"},    {"lanthanum", "La"}, {"hafnium", "Hf"},
    {"tantalum", "Ta"},   {"tungsten", "W"},    {"rhenium", "Re"},   {"osmium", "Os"},    {"iridium", "Ir"},
    {"platinum", "Pt"},   {"gold", "Au"},       {"mercury", "Hg"},   {"thallium", "Tl"},  {"lead", "Pb"},
    {"bismuth", "Bi"},    {"uranium", "U"},
};

bool letters_only(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!std::isalpha(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string lower(std::string_view text) {
  std::string out;
  for (const char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// "h" as "H", "cl" as "Cl"; an element's name as its symbol; empty when it is neither.
std::string symbol_of(std::string_view letters) {
  if (letters.size() <= 2) {
    std::string symbol = lower(letters);
    symbol[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
    return symbol;
  }
  const std::string name = lower(letters);
  for (const auto& [element, symbol] : kElements) {
    if (element == name) return std::string(symbol);
  }
  return {};
}

}  // namespace

std::string nucleus_symbol(std::string_view name) {
  std::string_view text = name;
  while (!text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) || text.front() == '^' || text.front() == '<')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (std::isspace(static_cast<unsigned char>(text.back())) || text.back() == '>')) text.remove_suffix(1);
  const std::string word = lower(text);
  if (word == "proton") return "1H";
  if (word == "deuterium") return "2H";
  if (word == "tritium") return "3H";
  const std::size_t digits = text.find_first_of("0123456789");
  const std::size_t letters = text.find_first_not_of("0123456789");
  if (digits == 0 && letters != std::string_view::npos && letters_only(text.substr(letters))) {
    // "1H", "13c": the mass number first, as chemists write it.
    if (const std::string symbol = symbol_of(text.substr(letters)); !symbol.empty()) {
      return std::string(text.substr(0, letters)) + symbol;
    }
  } else if (digits != std::string_view::npos && digits > 0 && text.find_first_not_of("0123456789", digits) == std::string_view::npos &&
             letters_only(text.substr(0, digits))) {
    // "H1", "C13", "Fluorine19": the mass number last.
    if (const std::string symbol = symbol_of(text.substr(0, digits)); !symbol.empty()) {
      return std::string(text.substr(digits)) + symbol;
    }
  }
  return std::string(text);
}

}  // namespace formats
