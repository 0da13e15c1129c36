// Magritek Spinsolve datasets.
#include "formats/spinsolve.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "formats/nucleus.hpp"
#include "formats/solvent.hpp"
#include "formats/words.hpp"

namespace formats {
namespace {

using common::ByteOrder;

constexpr std::size_t kHeader = 32;
// The file's owner and format, "PROS" and "DATA", each a little-endian 32-bit word: the
// bytes read "SORPATAD" (then the version, "V1.1" as "1.1V").
constexpr std::string_view kMark = "SORPATAD";
// Data types: complex floats, without and with the axis in front.
constexpr std::int32_t kComplex = 501, kComplexWithAxis = 504;
constexpr std::size_t kChunkPoints = 8192;

std::string lower(std::string_view text) {
  std::string out;
  for (const char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<double> number(const std::map<std::string, std::string>& par, const std::string& key) {
  const auto it = par.find(key);
  if (it == par.end()) return std::nullopt;
  double value = 0;
  const std::string& text = it->second;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Whether the axis rises in equal steps from its start at 0 (or the first dwell), as a
// time axis does; a frequency axis runs through 0 from below, or falls.
bool time_axis(const std::vector<double>& axis) {
  if (axis.size() < 2) return false;
  const double step = axis[1] - axis[0];
  if (!(step > 0) || !(axis[0] >= 0) || axis[0] > 1.5 * step) return false;
  for (std::size_t i = 1; i < axis.size(); ++i) {
    if (std::fabs(axis[i] - axis[0] - static_cast<double>(i) * step) > 1e-3 * step * static_cast<double>(i)) return false;
  }
  return true;
}

}  // namespace

std::map<std::string, std::string> parse_acqu_par(std::string_view text) {
  std::map<std::string, std::string> par;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view value = trimmed(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    par.emplace(lower(trimmed(line.substr(0, eq))), std::string(value));
  }
  return par;
}

bool is_spinsolve(std::string_view head) { return head.starts_with(kMark); }

Reading read_spinsolve(Source& source, PointSink& sink) {
  const std::string head = source.head(kHeader);
  if (head.size() < kHeader) return Reading::refused("its header is cut short");
  if (!is_spinsolve(head)) return Reading::refused("it has no PROS DATA mark");
  if (lower(source.name()).starts_with("spectrum")) return Reading::refused(kProcessedOnly);
  const Fields f(head, ByteOrder::Little);
  const std::int32_t type = f.i32(12);
  if (type != kComplex && type != kComplexWithAxis) {
    return Reading::refused("its data type (" + std::to_string(type) + ") is not one of complex points");
  }
  const std::int64_t x = f.i32(16), y = f.i32(20), z = f.i32(24), q = f.i32(28);
  if (x < 2 || y < 1 || z != 1 || q != 1 || x > kMostPoints || y > kMostPoints / x) {
    return Reading::refused("its dimensions (" + std::to_string(x) + " x " + std::to_string(y) + " x " +
                            std::to_string(z) + " x " + std::to_string(q) + ") are not read");
  }
  const std::int64_t axisBytes = type == kComplexWithAxis ? 4 * x : 0;
  const std::int64_t bytes = static_cast<std::int64_t>(kHeader) + axisBytes + 8 * x * y;
  if (bytes != source.length()) {
    return Reading::refused("its header says " + std::to_string(bytes) + " bytes, the file holds " +
                            std::to_string(source.length()));
  }
  if (type == kComplexWithAxis) {
    std::vector<unsigned char> raw(static_cast<std::size_t>(axisBytes));
    std::vector<double> axis(static_cast<std::size_t>(x));
    if (!source.read(kHeader, raw.data(), raw.size())) return Reading::refused("its axis cannot be read");
    decode_words(raw.data(), axis.size(), WordKind::Float32, ByteOrder::Little, axis.data());
    if (!time_axis(axis)) return Reading::refused(kProcessedOnly);
  }

  const auto par = parse_acqu_par(source.sibling("acqu.par"));
  const auto bandwidth = number(par, "bandwidth");
  if (!bandwidth || *bandwidth <= 0) return Reading::refused("no acqu.par beside it gives its bandwidth");
  Description d;
  d.maker = Maker::MagritekSpinsolve;
  Acquisition& a = d.acquisition;
  a.sweepHz = *bandwidth * 1000;  // acqu.par gives kHz
  a.frequencyMHz = number(par, "b1freq").value_or(0);
  // lowestFrequency: the spectrum's low end, in Hz from the reference.
  if (const auto lowest = number(par, "lowestfrequency")) a.offsetHz = *lowest + a.sweepHz / 2;
  if (const auto it = par.find("rxchannel"); it != par.end()) a.nucleus = nucleus_symbol(it->second);
  if (const auto it = par.find("solvent"); it != par.end()) a.solvent = solvent_name(it->second);
  // The title the operator gave, else the sample's name.
  for (const char* key : {"graphtext", "sample"}) {
    if (const auto it = par.find(key); it != par.end() && !it->second.empty()) {
      d.title = it->second;
      break;
    }
  }
  a.points = x;
  a.fids = y;

  std::vector<unsigned char> raw(8 * kChunkPoints);
  std::vector<double> pairs(2 * kChunkPoints);
  const std::int64_t start = static_cast<std::int64_t>(kHeader) + axisBytes;
  for (std::int64_t row = 0; row < y; ++row) {
    for (std::int64_t i = 0; i < x; i += static_cast<std::int64_t>(kChunkPoints)) {
      const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kChunkPoints, x - i));
      if (!source.read(start + 8 * (row * x + i), raw.data(), 8 * n)) return Reading::refused("its data cannot be read");
      decode_words(raw.data(), 2 * n, WordKind::Float32, ByteOrder::Little, pairs.data());
      // A Spinsolve records the rotation in the other sense: its imaginary parts negated,
      // the lines stand where its own spectrum has them, not mirrored about the carrier.
      for (std::size_t k = 1; k < 2 * n; k += 2) pairs[k] = -pairs[k];
      sink.put(pairs.data(), n);
    }
  }
  return {d, {}};
}

}  // namespace formats
