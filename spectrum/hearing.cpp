// "hear Spectrum".
#include "spectrum/hearing.hpp"

#include <algorithm>

#include "common/scratch_paths.hpp"
#include "spectrum/audio_graph.hpp"
#include "spectrum/drawing.hpp"
#include "sound/wave_container.hpp"

namespace spectrum {
namespace {

constexpr double kMostSeconds = 3600;
constexpr double kAroundSeconds = 0.5;
constexpr double kLeastMarginHz = 5;  // beside a multiplet, however narrow

// Writes part of the graph lasting seconds as a WAVE file at path, whole or not at all,
// and plays it.
sound::SoundResult write_and_play(platform::Services& s, const Trace& trace, double seconds, double from, double to,
                                  const char* path, bool clicks = true) {
  sound::SoundResult result;
  result.rate = kGraphRate;
  const platform::Lock scratch = s.files.lock(common::kScratchLock);
  platform::Replacement wav = s.files.replace(path);
  sound::WaveHeaders headers = sound::standard_headers();
  sound::writeheader(wav.file(), headers, "");
  AudioGraph graph(trace, seconds, from, to, clicks);
  std::int16_t block[4096];
  for (std::size_t n; (n = graph.next(block, std::size(block))) > 0;) {
    for (std::size_t i = 0; i < n; ++i) block[i] = static_cast<std::int16_t>(sound::little_endian(static_cast<std::uint16_t>(block[i])));
    wav.file().write(block, 2 * n);
  }
  result.samples = graph.samples();
  sound::finishheader(wav.file(), headers, kGraphRate, result.samples);
  result.written = wav.commit();
  if (!result.written) {
    result.outcome = sound::SoundResult::Outcome::NotWritten;
    return result;
  }
  s.media.play(path);
  return result;
}

// The length at the picked speed of a graph lasting atOne at "x 1"; nothing (and why, in
// result) when it has none.
std::optional<double> seconds_at_speed(platform::Services& s, common::FormMemory& memory, bool ask,
                                       sound::SoundResult& result, double atOne = kGraphSeconds) {
  const auto speed = sound::replay_speed(s, memory, result, ask);
  if (!speed) return std::nullopt;
  const double seconds = graph_seconds(speed->factor(), atOne);
  if (!(seconds > 0)) {
    result.outcome = sound::SoundResult::Outcome::NoPositiveRate;
    return std::nullopt;
  }
  if (seconds > kMostSeconds) {
    result.outcome = sound::SoundResult::Outcome::TooLong;
    return std::nullopt;
  }
  return seconds;
}

}  // namespace

sound::SoundResult hear_spectrum(platform::Services& s, common::FormMemory& memory, const Trace& trace) {
  sound::SoundResult result;
  const auto seconds = seconds_at_speed(s, memory, true, result);
  if (!seconds) return result;
  return write_and_play(s, trace, *seconds, 0, *seconds, common::kScratchSpectrumSound);
}

sound::SoundResult hear_around(platform::Services& s, common::FormMemory& memory, const Trace& trace, double value) {
  sound::SoundResult result;
  const auto seconds = seconds_at_speed(s, memory, false, result);
  if (!seconds) return result;
  const double at = time_of(trace, value, *seconds);
  const double from = std::clamp(at - kAroundSeconds / 2, 0.0, std::max(0.0, *seconds - kAroundSeconds));
  return write_and_play(s, trace, *seconds, from, std::min(*seconds, from + kAroundSeconds), common::kScratchPeakSound);
}

Range multiplet_sweep(const processing::Spectrum& spectrum, const analysis::Multiplet& m) {
  const double perHz = spectrum.in_ppm() ? 1 / spectrum.frequencyMHz : 1;
  const double margin = std::max((m.high - m.low) / 4, kLeastMarginHz * perHz);
  return {m.high + margin, m.low - margin};
}

sound::SoundResult hear_multiplet(platform::Services& s, common::FormMemory& memory, const processing::Spectrum& spectrum,
                                  const analysis::Multiplet& m) {
  sound::SoundResult result;
  const auto seconds = seconds_at_speed(s, memory, false, result, kMultipletSeconds);
  if (!seconds) return result;
  std::optional<Trace> trace = trace_of(spectrum, kColumns, multiplet_sweep(spectrum, m));
  if (!trace) trace = trace_of(spectrum, kColumns);
  // Heard as loud and as high as it goes at the multiplet's tallest line, whatever stands
  // beside it.
  for (Trace::Column& c : trace->columns) {
    c.high = std::min(c.high, m.tallest);
    c.low = std::min(c.low, c.high);
  }
  return write_and_play(s, *trace, *seconds, 0, *seconds, common::kScratchMultipletSound, false);
}

}  // namespace spectrum
