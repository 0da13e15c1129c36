// The spectrum heard.
#include "spectrum/audio_graph.hpp"

#include <algorithm>
#include <cmath>

#include "spectrum/drawing.hpp"

namespace spectrum {
namespace {

// Each column's height, 0 at the plot's bottom and 1 at its tallest peak.
std::vector<double> heights(const Trace& trace) {
  const Scale scale = scale_of(trace);
  std::vector<double> h;
  for (const auto& c : trace.columns) h.push_back(std::clamp((c.high - scale.bottom) / (scale.top - scale.bottom), 0.0, 1.0));
  return h;
}

// The height at a place along the columns (column i from i to i + 1): its column's, held
// across it, gliding into the next over glide columns about their border.
double height_at(const std::vector<double>& h, double place, double glide) {
  const double clamped = std::clamp(place, 0.0, static_cast<double>(h.size()) - 1e-9);
  const auto column = static_cast<std::size_t>(clamped);
  const double into = clamped - static_cast<double>(column);
  if (into > 1 - glide / 2 && column + 1 < h.size()) {
    return h[column] + (h[column + 1] - h[column]) * (into - (1 - glide / 2)) / glide;
  }
  if (into < glide / 2 && column > 0) {
    return h[column - 1] + (h[column] - h[column - 1]) * (into + glide / 2) / glide;
  }
  return h[column];
}

// The click times: each labelled tick's, and a second one at 0 ppm, after the first or,
// at the end of the axis, before it.
std::vector<double> click_times(const Trace& trace, double seconds) {
  std::vector<double> times;
  for (const double v : ticks_of(trace).values) {
    const double t = time_of(trace, v, seconds);
    times.push_back(t);
    if (v == 0 && trace.axis == Axis::Ppm) {
      times.push_back(t + kDoubleClickGap + kClickSeconds <= seconds ? t + kDoubleClickGap : t - kDoubleClickGap);
    }
  }
  return times;
}

}  // namespace

double time_of(const Trace& trace, double value, double seconds) {
  const auto n = static_cast<double>(trace.columns.size());
  const double along = trace.left == trace.right ? 0 : (trace.left - value) / (trace.left - trace.right);
  return seconds * (0.5 + along * (n - 1)) / n;
}

double value_at(const Trace& trace, double time, double seconds) {
  const auto n = static_cast<double>(trace.columns.size());
  const double along = n > 1 && seconds > 0 ? (time / seconds * n - 0.5) / (n - 1) : 0;
  return trace.left - std::clamp(along, 0.0, 1.0) * (trace.left - trace.right);
}

AudioGraph::AudioGraph(const Trace& trace, double seconds, double from, double to, bool clicks) {
  if (trace.columns.empty() || !(seconds > 0) || !(to > from)) return;
  heights_ = heights(trace);
  if (clicks) clicks_ = click_times(trace, seconds);
  columnsPerSecond_ = static_cast<double>(heights_.size()) / seconds;
  glide_ = std::min(0.5, kGlideSeconds * columnsPerSecond_);
  first_ = std::llround(from * kGraphRate);
  count_ = std::llround((to - from) * kGraphRate);
}

std::size_t AudioGraph::next(std::int16_t* out, std::size_t n) {
  std::size_t made = 0;
  for (; made < n && made_ < count_; ++made, ++made_) {
    const double t = static_cast<double>(first_ + made_) / kGraphRate;
    const double height = height_at(heights_, t * columnsPerSecond_, glide_);
    phase_ = std::fmod(phase_ + 2 * M_PI * kLowestPitch * std::pow(kHighestPitch / kLowestPitch, height) / kGraphRate, 2 * M_PI);
    double v = (kQuietest + (kLoudest - kQuietest) * height) * std::sin(phase_);
    const double edge = static_cast<double>(std::min(made_, count_ - 1 - made_)) / kGraphRate;
    if (edge < kFadeSeconds) v *= edge / kFadeSeconds;
    // The clicks are not faded: the axis's ends must be heard as clearly as its middle.
    for (const double click : clicks_) {
      const double into = t - click;
      if (into >= 0 && into < kClickSeconds) {
        v += kClickLoudness * std::sin(M_PI * into / kClickSeconds) * std::sin(2 * M_PI * kClickPitch * into);
      }
    }
    out[made] = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
  }
  return made;
}

}  // namespace spectrum
