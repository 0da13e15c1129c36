// "hear Spectrum": the audio graph made at the picked speed, written and played.
#pragma once

#include "common/form_memory.hpp"
#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"
#include "platform/services.hpp"
#include "sound/sound_request.hpp"
#include "spectrum/audio_graph.hpp"
#include "spectrum/trace.hpp"

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

// What a multiplet's sweep covers: its range and a quarter of its width on either side
// (5 Hz at least).
Range multiplet_sweep(const processing::Spectrum& spectrum, const analysis::Multiplet& multiplet);

// A multiplet's sweep, swept in a second at "x 1" and in a second / speed at any other, its tallest line at the
// graph's highest pitch and loudness, without clicks; written as
// "C:\temp\multiplet.wav" and played.
inline constexpr double kMultipletSeconds = 1.0;
[[nodiscard]] sound::SoundResult hear_multiplet(platform::Services& services, common::FormMemory& memory,
                                                const processing::Spectrum& spectrum, const analysis::Multiplet& multiplet);

// How long a graph lasting atOne at "x 1" lasts at a speed.
inline double graph_seconds(double speed, double atOne = kGraphSeconds) { return speed > 0 ? atOne / speed : 0; }

}  // namespace spectrum
