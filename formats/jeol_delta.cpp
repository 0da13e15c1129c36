// JEOL Delta data files.
#include "formats/jeol_delta.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <vector>

#include "formats/nucleus.hpp"
#include "formats/solvent.hpp"
#include "formats/words.hpp"

namespace formats {
namespace {

using common::ByteOrder;

constexpr std::string_view kMark = "JEOL.NMR";
constexpr std::size_t kHeaderBytes = 1296;  // up to the data's length, the last field read

// Header fields, at their offsets; the header itself is always big-endian.
constexpr std::size_t kEndian = 8, kDimensions = 12, kDataType = 14, kAxisType = 24, kUnits = 32, kTitle = 48,
                      kPoints = 176, kOffsetStart = 208, kOffsetStop = 240, kAxisStart = 272, kAxisStop = 336,
                      kComment = 680, kBaseFrequency = 1064, kParamStart = 1212, kParamLength = 1216,
                      kDataStart = 1284, kDataLength = 1288;

// Unit codes, the second byte of each two-byte unit (the first holds its SI prefix).
constexpr std::uint8_t kSecond = 28, kHertz = 13, kPpm = 26;
// Axis types: real; TPPI (real points, the indirect quadrature in their order); complex;
// and real-complex, which Delta writes for a 2D recorded complex along its direct axis
// and real along the other, as absolute-value experiments (an HMBC) are.
constexpr std::uint8_t kRealAxis = 1, kTppiAxis = 2, kComplexAxis = 3, kRealComplexAxis = 4;
constexpr std::uint8_t kOneD = 1, kTwoD = 2;

constexpr std::int64_t kSubmatrix = 32;       // a 2D section is kept in 32 x 32 submatrices
constexpr std::int64_t kMostRowPoints = 65536;  // one row of submatrices is read at a time
constexpr std::size_t kChunkPoints = 8192;
constexpr std::size_t kRecordBytes = 64, kMostParameterBytes = std::size_t{4} << 20;

// A parameter as its record holds it: a number (integers as well) or a text.
struct Parameter {
  bool number = false;
  double value = 0;
  std::string text;
  std::uint8_t unit = 0;
  bool prefixed = false;  // in kilo-, milli- and the like, which are not read
};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The parameter section, by name; what does not fit its stated sizes is refused with why.
std::map<std::string, Parameter> parameters(Source& source, const Fields& header, ByteOrder order, std::string& why) {
  std::map<std::string, Parameter> found;
  const std::int64_t start = header.u32(kParamStart), length = header.u32(kParamLength);
  if (length == 0) return found;
  if (length < 16 || start + length > source.length() || static_cast<std::size_t>(length) > kMostParameterBytes) {
    why = "its parameter section (" + std::to_string(length) + " bytes at " + std::to_string(start) +
          ") does not lie within the file's " + std::to_string(source.length()) + " bytes";
    return found;
  }
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (!source.read(start, bytes.data(), bytes.size())) {
    why = "its parameter section cannot be read";
    return found;
  }
  const Fields section(bytes, order);
  const std::uint32_t recordBytes = section.u32(0), low = section.u32(4), high = section.u32(8);
  const std::int64_t count = static_cast<std::int64_t>(high) - low + 1;
  if (recordBytes < kRecordBytes || count < 0 || count > (length - 16) / recordBytes) {
    why = "its parameter section claims " + std::to_string(count) + " records of " + std::to_string(recordBytes) +
          " bytes in " + std::to_string(length - 16);
    return found;
  }
  for (std::int64_t i = 0; i < count; ++i) {
    const std::size_t at = 16 + static_cast<std::size_t>(i) * recordBytes;
    Parameter p;
    const std::uint8_t prefixPower = section.u8(at + 6);
    p.unit = section.u8(at + 7);
    p.prefixed = (prefixPower >> 4) != 0;
    switch (section.u32(at + 32)) {
      case 0: p.text = section.text(at + 16, 16); break;
      case 1: p.number = true, p.value = section.i32(at + 16); break;
      case 2: p.number = true, p.value = section.f64(at + 16); break;
      default: continue;  // complex values and infinities: none is needed
    }
    found.emplace(upper(section.text(at + 36, 28)), std::move(p));
  }
  return found;
}

// A parameter's value when it is a number in the given unit, unprefixed.
std::optional<double> value_in(const std::map<std::string, Parameter>& params, const std::string& name, std::uint8_t unit) {
  const auto it = params.find(name);
  if (it == params.end() || !it->second.number || it->second.prefixed || it->second.unit != unit) return std::nullopt;
  return it->second.value;
}

// One axis of the data as the header describes it.
struct Axis {
  std::uint8_t type = kRealAxis;
  std::int64_t points = 1, first = 0, last = 0;  // stored points, and the ones in use
  int parts = 1;                                 // 2 along a complex axis: a section each
  std::int64_t used() const { return last - first + 1; }
};

bool readable_axis_type(std::uint8_t type) {
  return type == kRealAxis || type == kTppiAxis || type == kComplexAxis || type == kRealComplexAxis;
}

// The sections along each axis: a real-complex axis anywhere makes the data complex along
// the direct axis and real along the other.
void set_parts(std::array<Axis, 2>& axes, int dimensions) {
  bool realComplex = false;
  for (int d = 0; d < dimensions; ++d) realComplex = realComplex || axes[static_cast<std::size_t>(d)].type == kRealComplexAxis;
  for (int d = 0; d < dimensions; ++d) {
    Axis& a = axes[static_cast<std::size_t>(d)];
    a.parts = realComplex ? (d == 0 ? 2 : 1) : (a.type == kComplexAxis ? 2 : 1);
  }
}

// Reads the values of one section's points at index..index+n-1 of its storage.
class Sections {
 public:
  Sections(Source& source, std::int64_t start, std::int64_t sectionValues, WordKind kind, ByteOrder order)
      : source_(source), start_(start), sectionValues_(sectionValues), kind_(kind), order_(order) {}
  bool read(int section, std::int64_t index, std::size_t n, double* into) {
    raw_.resize(n * word_bytes(kind_));
    const std::int64_t at = start_ + (section * sectionValues_ + index) * static_cast<std::int64_t>(word_bytes(kind_));
    if (!source_.read(at, raw_.data(), raw_.size())) return false;
    decode_words(raw_.data(), n, kind_, order_, into);
    return true;
  }

 private:
  Source& source_;
  std::int64_t start_, sectionValues_;
  WordKind kind_;
  ByteOrder order_;
  std::vector<unsigned char> raw_;
};

// Emits one FID from its real and imaginary values, the imaginary parts negated.
void emit(PointSink& sink, const double* re, const double* im, std::size_t n, std::vector<double>& pairs) {
  pairs.resize(2 * n);
  for (std::size_t k = 0; k < n; ++k) {
    pairs[2 * k] = re[k];
    pairs[2 * k + 1] = im ? -im[k] : 0.0;
  }
  sink.put(pairs.data(), n);
}

bool stream_one_d(Sections& data, const Axis& x, PointSink& sink) {
  std::vector<double> re(kChunkPoints), im(kChunkPoints), pairs;
  for (std::int64_t i = x.first; i <= x.last; i += static_cast<std::int64_t>(kChunkPoints)) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kChunkPoints, x.last + 1 - i));
    if (!data.read(0, i, n, re.data())) return false;
    if (x.parts == 2 && !data.read(1, i, n, im.data())) return false;
    emit(sink, re.data(), x.parts == 2 ? im.data() : nullptr, n, pairs);
  }
  return true;
}

// A 2D section is a row-major grid of submatrices, each row-major itself; the sections
// of the real and imaginary parts follow each other, the first axis's parts varying
// fastest. One row of submatrices of each section is read at a time.
bool stream_two_d(Sections& data, const Axis& x, const Axis& y, PointSink& sink) {
  const std::int64_t blocksAcross = x.points / kSubmatrix;
  const auto rowValues = static_cast<std::size_t>(blocksAcross * kSubmatrix * kSubmatrix);
  const int sections = x.parts * y.parts;
  std::vector<std::vector<double>> rows(static_cast<std::size_t>(sections), std::vector<double>(rowValues));
  std::vector<double> re(static_cast<std::size_t>(x.used())), im(re.size()), pairs;
  for (std::int64_t blockRow = y.first / kSubmatrix; blockRow <= y.last / kSubmatrix; ++blockRow) {
    for (int s = 0; s < sections; ++s) {
      if (!data.read(s, blockRow * static_cast<std::int64_t>(rowValues), rowValues, rows[static_cast<std::size_t>(s)].data())) {
        return false;
      }
    }
    for (std::int64_t row = blockRow * kSubmatrix; row < (blockRow + 1) * kSubmatrix; ++row) {
      if (row < y.first || row > y.last) continue;
      for (int part = 0; part < y.parts; ++part) {
        for (std::int64_t i = x.first; i <= x.last; ++i) {
          const auto at = static_cast<std::size_t>((i / kSubmatrix) * kSubmatrix * kSubmatrix +
                                                   (row % kSubmatrix) * kSubmatrix + i % kSubmatrix);
          const auto k = static_cast<std::size_t>(i - x.first);
          re[k] = rows[static_cast<std::size_t>(x.parts * part)][at];
          if (x.parts == 2) im[k] = rows[static_cast<std::size_t>(2 * part + 1)][at];
        }
        emit(sink, re.data(), x.parts == 2 ? im.data() : nullptr, re.size(), pairs);
      }
    }
  }
  return true;
}

}  // namespace

bool is_jeol_delta(std::string_view head) { return head.starts_with(kMark); }

Reading read_jeol_delta(Source& source, PointSink& sink) {
  std::string bytes(kHeaderBytes, '\0');
  if (!source.read(0, bytes.data(), bytes.size())) {
    return Reading::refused("its header is cut short: the file holds " + std::to_string(source.length()) + " bytes");
  }
  if (!is_jeol_delta(bytes)) return Reading::refused("it has no JEOL.NMR mark");
  const Fields header(bytes, ByteOrder::Big);
  if (header.u8(kEndian) > 1) return Reading::refused("its byte order (" + std::to_string(header.u8(kEndian)) + ") is neither 0 nor 1");
  const ByteOrder order = header.u8(kEndian) == 0 ? ByteOrder::Big : ByteOrder::Little;
  const int dimensions = header.u8(kDimensions);
  if (dimensions < 1 || dimensions > 2) return Reading::refused("it holds " + std::to_string(dimensions) + "-dimensional data");
  const std::uint8_t dataType = header.u8(kDataType);
  if ((dataType >> 6) > 1) return Reading::refused("its data format (" + std::to_string(dataType >> 6) + ") is not read");
  const WordKind kind = (dataType >> 6) == 0 ? WordKind::Float64 : WordKind::Float32;
  if ((dataType & 0x3f) != (dimensions == 1 ? kOneD : kTwoD)) {
    return Reading::refused("its data layout (" + std::to_string(dataType & 0x3f) + ") is not read");
  }
  const std::uint8_t unit = header.u8(kUnits + 1);
  if (unit == kHertz || unit == kPpm) return Reading::refused(kProcessedOnly);
  if (unit != kSecond) return Reading::refused("its first axis is neither time nor frequency");

  std::array<Axis, 2> axes;
  for (int d = 0; d < dimensions; ++d) {
    Axis& a = axes[static_cast<std::size_t>(d)];
    a.type = header.u8(kAxisType + static_cast<std::size_t>(d));
    a.points = header.u32(kPoints + 4 * static_cast<std::size_t>(d));
    a.first = header.u32(kOffsetStart + 4 * static_cast<std::size_t>(d));
    a.last = header.u32(kOffsetStop + 4 * static_cast<std::size_t>(d));
    if (!readable_axis_type(a.type)) {
      return Reading::refused("its axis " + std::to_string(d + 1) + " is of a type (" + std::to_string(a.type) + ") not read");
    }
    if (a.points < 1 || a.points > kMostPoints || a.first > a.last || a.last >= a.points) {
      return Reading::refused("its axis " + std::to_string(d + 1) + " claims points " + std::to_string(a.first) + " to " +
                              std::to_string(a.last) + " of " + std::to_string(a.points));
    }
    if (dimensions == 2 && a.points % kSubmatrix != 0) {
      return Reading::refused("its axis " + std::to_string(d + 1) + " of " + std::to_string(a.points) +
                              " points is no whole number of submatrices");
    }
  }
  set_parts(axes, dimensions);
  const Axis& x = axes[0];
  const Axis& y = axes[1];
  if (dimensions == 2 && x.points > kMostRowPoints) {
    return Reading::refused("its rows of " + std::to_string(x.points) + " points are too long to read");
  }
  const std::int64_t fids = dimensions == 2 ? y.used() * y.parts : 1;
  if (x.used() * fids > kMostPoints) return Reading::refused("it holds more points than can be sounded");

  const std::int64_t sectionValues = x.points * y.points;
  const std::int64_t dataBytes = sectionValues * x.parts * y.parts * static_cast<std::int64_t>(word_bytes(kind));
  const std::int64_t dataStart = header.u32(kDataStart);
  if (dataStart > source.length() || dataBytes > source.length() - dataStart ||
      static_cast<std::int64_t>(std::min<std::uint64_t>(header.u64(kDataLength), INT64_MAX)) < dataBytes) {
    return Reading::refused("its header says " + std::to_string(dataBytes) + " bytes of data from byte " +
                            std::to_string(dataStart) + ", the file holds " + std::to_string(source.length()));
  }

  std::string why;
  const auto params = parameters(source, header, order, why);
  if (!why.empty()) return Reading::refused(why);
  Description d;
  d.maker = Maker::JeolDelta;
  Acquisition& a = d.acquisition;
  const double duration = header.f64(kAxisStop) - header.f64(kAxisStart);
  a.sweepHz = value_in(params, "X_SWEEP", kHertz).value_or(duration > 0 ? static_cast<double>(x.points - 1) / duration : 0);
  a.frequencyMHz = value_in(params, "X_FREQ", kHertz).value_or(header.f64(kBaseFrequency) * 1e6) / 1e6;
  const auto offset = value_in(params, "X_OFFSET", kPpm);
  a.offsetHz = offset.value_or(0) * a.frequencyMHz;
  // Delta's axis is the operator's own: its offset is in ppm of the calibrated scale.
  if (offset) a.referenceMHz = a.frequencyMHz;
  if (const auto domain = params.find("X_DOMAIN"); domain != params.end()) a.nucleus = nucleus_symbol(domain->second.text);
  if (const auto solvent = params.find("SOLVENT"); solvent != params.end()) a.solvent = solvent_name(solvent->second.text);
  a.points = x.used();
  a.fids = fids;
  d.title = header.text(kTitle, 124);
  if (d.title.empty()) d.title = header.text(kComment, 128);

  Sections data(source, dataStart, sectionValues, kind, order);
  if (!(dimensions == 1 ? stream_one_d(data, x, sink) : stream_two_d(data, x, y, sink))) {
    return Reading::refused("its data cannot be read");
  }
  return {d, {}};
}

}  // namespace formats
