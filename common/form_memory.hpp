// What the window remembers between sound requests.
#pragma once

#include <string>

namespace common {

struct FormMemory {
  std::string lastFidPath;        // the last dataset's FID path
  double customMultiplier = 0.0;  // the last "Multiplier?" answer; 0: none yet (offered as 1)
};

}  // namespace common
