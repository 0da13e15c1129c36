// The one routine that makes and plays a sound, and the file reader it uses for titles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"
#include "platform/services.hpp"

namespace sound {

// What the window remembers between sound requests.
struct FormMemory {
  std::string lastFidPath;        // the last dataset's FID path
  double customMultiplier = 0.0;  // the last "Multiplier?" answer; 0: none yet (offered as 1)
};

// what: "tone" for the tone test, "fid" to sound the scratch FID again, or the FID path
// of a dataset just taken in. Sets Label1, writes the WAVE file and the sample listing at
// the picked replay speed, starts playback and enables "archive Data". A speed that gives
// no positive sample rate (a cancelled "Multiplier?", say) stops before any file changes.
void createsound(platform::Services& services, FormMemory& memory, const std::string& what,
                 std::int16_t f1, std::int16_t f2);

// The whole file as bytes; empty when it cannot be opened for reading.
std::string loadfromfile(platform::FileSystem& files, std::string_view fname);

}  // namespace sound
