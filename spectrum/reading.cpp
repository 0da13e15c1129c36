// A dataset's spectrum, ready to draw.
#include "spectrum/reading.hpp"

#include <fftw3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <mutex>

#include "sound/parameters.hpp"
#include "sound/sound_request.hpp"
#include "sound/word_format.hpp"

namespace spectrum {
namespace {

constexpr std::size_t kLeadInWords = 80;         // as the sound skips them
constexpr std::size_t kMostFidPoints = 65536;    // a huge FID costs no more than this
constexpr std::size_t kMostProcessedPoints = std::size_t{1} << 24;
constexpr double kFidRate = 32768 / 3.9584243;   // the sound's FID rate, when acqus has none

// Gathers points, in order from the axis's left end to its right end, into the columns
// of a plot.
class Columns {
 public:
  Columns(std::size_t columns, std::size_t points) : columns_(columns), highest_(columns), points_(points) {}
  void add(double value) {
    if (!std::isfinite(value)) value = 0;
    const std::size_t column = std::min(columns_.size() - 1, seen_ * columns_.size() / points_);
    auto& c = columns_[column];
    if (!filled_[column] || value > c.high) highest_[column] = seen_;
    if (!filled_[column]) {
      c = {value, value};
      filled_[column] = true;
    } else {
      c.low = std::min(c.low, value);
      c.high = std::max(c.high, value);
    }
    ++seen_;
  }
  // The columns of an axis from left to right, its points evenly spread from end to end.
  // Columns that no point fell into (more columns than points) take the one before.
  std::vector<Trace::Column> take(double left, double right) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (!filled_[i] && i > 0) {
        columns_[i] = columns_[i - 1];
        continue;
      }
      const double along = points_ > 1 ? static_cast<double>(highest_[i]) / static_cast<double>(points_ - 1) : 0;
      columns_[i].at = left + (right - left) * along;
    }
    return std::move(columns_);
  }

 private:
  std::vector<Trace::Column> columns_;
  std::vector<std::size_t> highest_;  // the index of each column's highest point
  std::vector<bool> filled_ = std::vector<bool>(columns_.size());
  std::size_t points_;
  std::size_t seen_ = 0;
};

std::string first_line(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

// "<1H>" as "1H".
std::string nucleus_of(std::string_view acqus) {
  std::string nucleus(sound::parameter_text(acqus, "NUC1").value_or(""));
  if (nucleus.size() >= 2 && nucleus.front() == '<' && nucleus.back() == '>') nucleus = nucleus.substr(1, nucleus.size() - 2);
  return nucleus == "off" ? std::string() : nucleus;
}

std::optional<Trace> processed(platform::FileSystem& files, const std::string& folder, std::size_t columns) {
  if (folder.empty()) return std::nullopt;
  const std::string procs = sound::loadfromfile(files, folder + "procs");
  const auto si = sound::integer_parameter(procs, "SI");
  const auto offset = sound::real_parameter(procs, "OFFSET");
  const auto swp = sound::real_parameter(procs, "SW_p");
  const auto sf = sound::real_parameter(procs, "SF");
  if (!si || *si <= 1 || !offset || !swp || !sf || *sf <= 0 || !files.is_file(folder + "1r")) return std::nullopt;
  sound::WordFormat format;
  if (sound::integer_parameter(procs, "BYTORDP") == 0) format.order = sound::ByteOrder::Little;
  if (sound::integer_parameter(procs, "DTYPP") == 2) format.type = sound::WordType::Float64;
  const double scale = std::ldexp(1.0, static_cast<int>(sound::integer_parameter(procs, "NC_proc").value_or(0)));

  platform::BinaryFile data = files.open_for_reading(folder + "1r");
  const std::int64_t length = data.length();
  const auto points = static_cast<std::size_t>(
      std::min<std::int64_t>({*si, length / static_cast<std::int64_t>(format.bytes()),
                              static_cast<std::int64_t>(kMostProcessedPoints)}));
  if (points < 2) return std::nullopt;
  Trace s;
  Columns gathered(columns, points);
  unsigned char word[8];
  for (std::size_t i = 0; i < points; ++i) {
    data.read(word, format.bytes());
    gathered.add(sound::word_at(word, format) * scale);
  }
  // The first point is the highest ppm; the spectrum spans SW_p Hz.
  s.left = *offset;
  s.right = *offset - *swp / *sf;
  s.columns = gathered.take(s.left, s.right);
  return s;
}

std::optional<Trace> transformed(platform::FileSystem& files, const Sources& sources, const std::string& acqus,
                                    std::size_t columns) {
  const sound::WordFormat format = sound::word_format(acqus);
  platform::BinaryFile fid = files.open_for_reading(sources.fid);
  const std::int64_t words = fid.length() / static_cast<std::int64_t>(format.bytes());
  const auto points = static_cast<std::size_t>(
      std::clamp<std::int64_t>((words - static_cast<std::int64_t>(kLeadInWords)) / 2, 0, kMostFidPoints));
  if (points < 2) return std::nullopt;

  // Zeros fill the transform up to a power of two, which FFTW takes fastest; the points
  // read are at most that many.
  const std::size_t size = std::bit_ceil(points);
  const auto in = std::unique_ptr<fftw_complex[], decltype(&fftw_free)>(fftw_alloc_complex(size), fftw_free);
  if (!in) return std::nullopt;
  std::fill_n(&in[0][0], 2 * size, 0.0);
  fid.set_position(static_cast<std::int64_t>(kLeadInWords * format.bytes()) + 1);
  unsigned char pair[16];
  for (std::size_t k = 0; k < points; ++k) {
    fid.read(pair, 2 * format.bytes());
    in[k][0] = sound::word_at(pair, format);
    in[k][1] = sound::word_at(pair + format.bytes(), format);
    for (double& part : in[k]) {
      if (!std::isfinite(part)) part = 0;
    }
  }
  {
    // In place. FFTW's planner keeps state of its own: one plan at a time.
    static std::mutex planning;
    const std::lock_guard<std::mutex> one(planning);
    const fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(size), in.get(), in.get(), FFTW_FORWARD, FFTW_ESTIMATE);
    if (!plan) return std::nullopt;
    fftw_execute(plan);
    fftw_destroy_plan(plan);
  }

  // Bin k holds frequency k, or k - N from the middle on. Drawn from the highest
  // frequency on the left to the lowest on the right, as ppm run.
  const auto top = static_cast<std::int64_t>((size - 1) / 2);
  const auto n = static_cast<std::int64_t>(size);
  Trace s;
  Columns gathered(columns, size);
  for (std::int64_t f = top; f > top - n; --f) {
    const auto bin = static_cast<std::size_t>((f + n) % n);
    gathered.add(std::hypot(in[bin][0], in[bin][1]));
  }
  const auto swh = sound::real_parameter(acqus, "SW_h");
  const auto o1 = sound::real_parameter(acqus, "O1");
  const auto bf1 = sound::real_parameter(acqus, "BF1");
  const double step = (swh && *swh > 0 ? *swh : kFidRate) / static_cast<double>(n);  // Hz a bin
  const double highest = static_cast<double>(top) * step;
  const double lowest = static_cast<double>(top - n + 1) * step;
  if (swh && o1 && bf1 && *swh > 0 && *bf1 > 0) {
    s.left = (*o1 + highest) / *bf1;
    s.right = (*o1 + lowest) / *bf1;
  } else {
    s.axis = Axis::Hz;
    s.left = highest;
    s.right = lowest;
  }
  s.columns = gathered.take(s.left, s.right);
  return s;
}

}  // namespace

std::optional<Trace> read_trace(platform::FileSystem& files, const Sources& sources, std::size_t columns) {
  if (columns == 0) return std::nullopt;
  const std::string acqus = sound::loadfromfile(files, sources.acqus);
  std::optional<Trace> s = processed(files, sources.processed, columns);
  if (!s) s = transformed(files, sources, acqus, columns);
  if (!s) return std::nullopt;
  s->title = first_line(sound::loadfromfile(files, sources.title));
  s->nucleus = nucleus_of(acqus);
  return s;
}

}  // namespace spectrum
