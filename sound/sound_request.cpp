// The sound request.
#include "sound/sound_request.hpp"

#include <algorithm>
#include <optional>

#include "common/scratch_paths.hpp"
#include "platform/text.hpp"
#include "sound/sample_synthesis.hpp"
#include "sound/wave_container.hpp"

namespace sound {
namespace {

using platform::ToneBox;

constexpr std::int32_t kToneBaseRate = 44100;
// The FID's sampling: 32768 points in 3.9584243 seconds, as a whole number of Hz (8278).
const std::int32_t kFidBaseRate = platform::round_to_int32(32768 / 3.9584243).value();

// The sample rate that the replay speed asks for, into result; false when it gives none.
bool sample_rate(platform::Services& s, common::FormMemory& memory, std::int32_t baseRate,
                 SoundResult& result) {
  const std::optional<ReplaySpeed> speed = replay_speed(s, memory, result);
  if (!speed) return false;
  const std::optional<std::int32_t> rate = platform::round_to_int32(speed->factor() * baseRate);
  if (!rate) {
    result.outcome = SoundResult::Outcome::RateTooLarge;
    return false;
  }
  // A rate of 0 or below makes no playable file.
  result.rate = *rate;
  if (*rate <= 0) result.outcome = SoundResult::Outcome::NoPositiveRate;
  return *rate > 0;
}

}  // namespace

std::optional<ReplaySpeed> replay_speed(platform::Services& s, common::FormMemory& memory, SoundResult& result,
                                        bool ask) {
  using Outcome = SoundResult::Outcome;
  // The speed is kept to tenths: "x 0.125" plays at 0.1 of the base rate.
  ReplaySpeed speed;
  const double picked = platform::numeric_value(platform::from_second(s.window.replay_speed()));
  if (const auto rounded = platform::round_to_int32(picked * 10)) {
    speed.tenths = *rounded;
  } else {
    s.files.failures().raise();
  }
  if (speed.tenths != 0) return speed;
  if (memory.customMultiplier == 0) memory.customMultiplier = 1;
  if (!ask) {
    speed.multiplier = memory.customMultiplier;
    return speed;
  }
  // Offered with "." whatever the locale, so that confirming it unchanged keeps it.
  result.answer = s.window.prompt("Multiplier?", platform::decimal_text(memory.customMultiplier));
  const auto multiplier = platform::leading_number(result.answer);
  memory.customMultiplier = multiplier.value_or(0);
  if (!multiplier) {
    result.outcome = result.answer.empty() ? Outcome::Cancelled : Outcome::NotANumber;
    return std::nullopt;
  }
  speed.multiplier = memory.customMultiplier;
  return speed;
}

std::string loadfromfile(platform::FileSystem& files, std::string_view fname) {
  return files.read_start(fname, std::size_t{1} << 20);
}

SoundResult createsound(platform::Services& s, common::FormMemory& memory, const std::string& what,
                        std::int16_t f1, std::int16_t f2, const WaveLimit& limit) {
  const platform::Lock scratch = s.files.lock(common::kScratchLock);
  s.files.failures().clear();
  SoundResult result;

  const bool toneMode = what == "tone";
  if (!toneMode && what != "fid") memory.lastFidPath = what;
  const std::string caption =
      toneMode ? s.window.tone_text(ToneBox::First) + " and " + s.window.tone_text(ToneBox::Second) +
                     " Hz"
               : memory.lastFidPath + platform::kCarriageReturn +
                     loadfromfile(s.files, common::kScratchTitle);
  s.window.set_title(caption);

  // Without a rate the request ends before any file changes.
  if (!sample_rate(s, memory, toneMode ? kToneBaseRate : kFidBaseRate, result)) return result;

  WaveHeaders headers = readtemplate(
      s.files, s.window.executable_folder() + std::string(platform::kSeparator) + "fidsong.wav");
  const std::string comment = caption + " " + s.window.replay_speed();

  // Both made beside their final names, which keep the previous sound until both are done.
  platform::Replacement wav = s.files.replace(common::kScratchWav);
  platform::BinaryFile fid = s.files.open_for_reading_created(common::kScratchFid);
  platform::Replacement listing = s.files.replace(common::kScratchListing);
  // How the FID stores its words; without parameters, the classic big-endian reading.
  result.format = bruker::word_format(loadfromfile(s.files, common::kScratchAcqus));

  writeheader(wav.file(), headers, comment);
  const std::int64_t most = most_samples(wav.file().position() - 1, limit);
  result.samples = makesamples(fid, wav.file(), listing.file(), toneMode, f1, f2, result.format, most);
  if (const std::int64_t held = samples_of(fid.length(), result.format); result.samples == most && held > most) {
    result.cut = SoundResult::Cut{result.samples, held};
  }
  finishheader(wav.file(), headers, result.rate, result.samples);
  fid.close();
  const platform::Status wavClosed = wav.close();
  result.written = wavClosed ? listing.close() : wavClosed;
  if (result.written) result.written = wav.commit();
  if (result.written) result.written = listing.commit();
  if (!result.written) {
    result.outcome = SoundResult::Outcome::NotWritten;
    return result;
  }

  s.media.play(common::kScratchWav);
  s.window.enable(platform::Button::Command4, true);
  return result;
}

}  // namespace sound
