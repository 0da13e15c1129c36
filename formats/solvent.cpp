// A solvent named as chemists write it.
#include "formats/solvent.hpp"

#include "common/solvents.hpp"

namespace formats {

std::string solvent_name(std::string_view name) {
  while (!name.empty() && (name.front() == ' ' || name.front() == '<' || name.front() == '"')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '>' || name.back() == '"')) name.remove_suffix(1);
  if (const common::Solvent* known = common::solvent_named(name)) return std::string(known->name);
  return std::string(name);
}

}  // namespace formats
