// The one routine that makes and plays a sound, and the file reader it uses for titles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/form_memory.hpp"
#include "platform/file_system.hpp"
#include "platform/services.hpp"
#include "sound/wave_container.hpp"
#include "bruker/word_format.hpp"

namespace sound {

// What a sound request did.
struct SoundResult {
  enum class Outcome {
    Played,          // written and handed to playback
    Cancelled,       // "Multiplier?" was cancelled or answered with nothing
    NotANumber,      // the answer does not start with a number
    NoPositiveRate,  // the speed gives a rate of 0 or below
    RateTooLarge,    // the speed gives a rate that does not fit 32 bits
    TooLong,         // the speed makes the spectrum's audio graph last more than an hour
    NotWritten,      // the sound or its listing could not be written (see reason)
  };
  // A sound longer than a WAVE file holds: cut at the last sample that keeps it valid.
  struct Cut {
    std::int64_t made = 0;  // the samples the file holds
    std::int64_t held = 0;  // the samples the FID would give
  };
  Outcome outcome = Outcome::Played;
  std::string answer;      // the "Multiplier?" answer, when the speed asked for one
  std::int32_t rate = 0;   // samples a second, as the header says
  std::int64_t samples = 0;
  bruker::WordFormat format;       // how the FID's words were read
  platform::Status written;  // NotWritten: why, with the system's reason
  std::optional<Cut> cut;    // when the sound is shorter than its FID

  bool played() const { return outcome == Outcome::Played; }
  double seconds() const { return rate > 0 ? static_cast<double>(samples) / rate : 0.0; }
};

// The replay speed picked: Combo1's number kept to tenths, or, for "x ?" (tenths 0), the
// answer to "Multiplier?", offered with the last one (1 at first), which memory keeps.
struct ReplaySpeed {
  std::int32_t tenths = 0;
  double multiplier = 0;  // for "x ?"
  double factor() const { return tenths != 0 ? tenths / 10.0 : multiplier; }
};
// Nothing when the question was cancelled or not answered with a number: result says so.
// Without ask, "x ?" is not asked again: the last answer (1 at first) stands.
std::optional<ReplaySpeed> replay_speed(platform::Services& services, common::FormMemory& memory,
                                        SoundResult& result, bool ask = true);

// what: "tone" for the tone test, "fid" to sound the scratch FID again, or the FID path
// of a dataset just taken in. Sets Label1, writes the WAVE file and the sample listing at
// the picked replay speed, starts playback and enables "archive Data". A speed that gives
// no positive sample rate (a cancelled "Multiplier?", say) stops before any file changes.
// Both files are replaced whole or not at all: when either cannot be written (a full
// disk), both keep the previous sound's content and nothing is played. One request at a
// time per scratch folder, across processes: a second one waits for the first.
// A sound longer than a WAVE file holds (limit) is cut where the file is full, and says so.
[[nodiscard]] SoundResult createsound(platform::Services& services, common::FormMemory& memory,
                                      const std::string& what, std::int16_t f1, std::int16_t f2,
                                      const WaveLimit& limit = {});

// The file's bytes, up to its first MiB (a title or a parameter file is a few lines; the
// cap keeps a huge file from costing memory); empty when it cannot be opened for reading.
std::string loadfromfile(platform::FileSystem& files, std::string_view fname);

}  // namespace sound
