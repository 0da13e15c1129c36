// "hear Spectrum": the audio graph made at the picked speed, written and played.
#pragma once

#include "common/form_memory.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"
#include "spectrum/audio_graph.hpp"
#include "spectrum/reading.hpp"

namespace spectrum {

// The graph of the whole trace, lasting 10 s at "x 1" and 10 s / speed at any other
// ("x ?" asks, as a sound request does), written whole as "C:\temp\spectrum.wav" (16-bit
// mono PCM at 44100 Hz, the standard header) and played. A speed that gives no positive
// length, or one over an hour, makes nothing; a file that cannot be written is kept as it
// was and plays nothing.
[[nodiscard]] sound::SoundResult hear_spectrum(platform::Services& services, common::FormMemory& memory,
                                               const Trace& trace);

// Half a second of that graph around an axis value (a peak's), at the picked speed ("x ?"
// not asked again), written as "C:\temp\peak.wav" and played.
[[nodiscard]] sound::SoundResult hear_around(platform::Services& services, common::FormMemory& memory,
                                             const Trace& trace, double value);

// How long the whole graph lasts at a speed.
inline double graph_seconds(double speed) { return speed > 0 ? kGraphSeconds / speed : 0; }

}  // namespace spectrum
