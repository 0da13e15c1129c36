// Synthetic datasets of the makers other than Bruker.
#include "tests/support/makers.hpp"

#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "formats/detection.hpp"
#include "platform/text.hpp"
#include "bruker/parameters.hpp"
#include "bruker/word_format.hpp"
#include "tests/support/files.hpp"

namespace testsupport {
namespace {

using bruker::ByteOrder;

// Big- or little-endian bytes of an unsigned value of n bytes.
std::string bytes_of(std::uint64_t v, int n, ByteOrder order) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    const int shift = 8 * (order == ByteOrder::Little ? i : n - 1 - i);
    out += static_cast<char>((v >> shift) & 0xff);
  }
  return out;
}
std::string be16(std::uint16_t v) { return bytes_of(v, 2, ByteOrder::Big); }
std::string u32(std::uint32_t v, ByteOrder order) { return bytes_of(v, 4, order); }
std::string f32(float v, ByteOrder order) { return bytes_of(std::bit_cast<std::uint32_t>(v), 4, order); }
std::string f64(double v, ByteOrder order) { return bytes_of(std::bit_cast<std::uint64_t>(v), 8, order); }

// Puts bytes at offset into a header, growing it as needed.
void place(std::string& header, std::size_t offset, const std::string& bytes) {
  if (header.size() < offset + bytes.size()) header.resize(offset + bytes.size(), '\0');
  header.replace(offset, bytes.size(), bytes);
}

std::string padded(const std::string& text, std::size_t n, char pad) {
  std::string out = text.substr(0, n);
  out.resize(n, pad);
  return out;
}

// The leading pseudo-digit of v's first digit in a form's alphabet, and its other digits.
std::string pseudo(std::int64_t v, const char* positive, const char* negative, char zero) {
  if (v == 0) return std::string(1, zero);
  const std::string digits = std::to_string(v < 0 ? -v : v);
  const int first = digits[0] - '0';
  return std::string(1, v < 0 ? negative[first - 1] : positive[first - 1]) + digits.substr(1);
}
std::string sqz(std::int64_t v) { return pseudo(v, "ABCDEFGHI", "abcdefghi", '@'); }
std::string dif(std::int64_t v) { return pseudo(v, "JKLMNOPQR", "jklmnopqr", '%'); }
std::string dup(std::int64_t count) { return pseudo(count, "STUVWXYZs", "STUVWXYZs", '?'); }

// Keeps what a reader sends.
class Collected final : public formats::PointSink {
 public:
  explicit Collected(std::vector<double>& pairs) : pairs_(pairs) {}
  void put(const double* pairs, std::size_t count) override { pairs_.insert(pairs_.end(), pairs, pairs + 2 * count); }

 private:
  std::vector<double>& pairs_;
};

}  // namespace

ReadBack read_back(platform::FileSystem& files, const std::filesystem::path& path) {
  ReadBack back;
  formats::Source source(files, path.string());
  back.maker = formats::maker_of(source);
  Collected points(back.pairs);
  back.reading = formats::read_dataset(back.maker, source, points);
  return back;
}

std::vector<double> pairs_of(const std::vector<Fid>& fids) {
  std::vector<double> pairs;
  for (const Fid& fid : fids) {
    for (const auto& z : fid) pairs.insert(pairs.end(), {z.real(), z.imag()});
  }
  return pairs;
}

double in_float(double value) {
  volatile float rounded = static_cast<float>(value);
  return rounded;
}

Fid in_floats(Fid fid) {
  for (auto& z : fid) z = {in_float(z.real()), in_float(z.imag())};
  return fid;
}

std::vector<double> in_floats(std::vector<double> values) {
  for (double& v : values) v = in_float(v);
  return values;
}

Fid fid_of_lines(const std::vector<SpectralLine>& lines, std::size_t n, double sweepHz, double decaySeconds) {
  Fid fid(n);
  for (std::size_t k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / sweepHz;
    for (const SpectralLine& line : lines) {
      fid[k] += line.amplitude * std::exp(-t / decaySeconds) * std::polar(1.0, 2 * M_PI * line.hz * t);
    }
  }
  return fid;
}

std::string scratch_doubles(const std::vector<Fid>& fids, int exponent, int turn) {
  std::string bytes(640, '\0');
  for (const Fid& fid : fids) {
    for (std::complex<double> z : fid) {
      for (int k = 0; k < turn % 4; ++k) z = {-z.imag(), z.real()};  // times i: exact
      bytes += f64(std::ldexp(z.real(), exponent), ByteOrder::Little) + f64(std::ldexp(z.imag(), exponent), ByteOrder::Little);
    }
  }
  return bytes;
}

int turn_of(const std::string& acqus) {
  const auto text = bruker::parameter_text(acqus, "FIDSONG_TURN");
  return text ? std::stoi(std::string(*text)) : 0;
}

std::pair<double, double> channels_of(const std::string& scratchFid) {
  double re = 0, im = 0;
  for (std::size_t at = 0; at + 16 <= std::min<std::size_t>(scratchFid.size(), 4000); at += 16) {
    double values[2];
    std::memcpy(values, scratchFid.data() + at, 16);  // little-endian, as this machine
    re = std::max(re, std::fabs(values[0]));
    im = std::max(im, std::fabs(values[1]));
  }
  return {re, im};
}

std::optional<int> scale_exponent(const std::string& acqus) {
  const auto text = bruker::parameter_text(acqus, "FIDSONG_SCALE");
  if (!text || !text->starts_with("2^")) return std::nullopt;
  return std::stoi(std::string(text->substr(2)));
}

std::string vnmrj_fid(const std::vector<Fid>& fids, VnmrjWords words, int tracesPerBlock) {
  if (fids.empty() || fids.size() % static_cast<std::size_t>(tracesPerBlock) != 0) throw std::invalid_argument("whole blocks");
  const auto np = static_cast<std::uint32_t>(2 * fids.front().size());
  const std::uint32_t ebytes = words == VnmrjWords::Int16 ? 2 : 4;
  const std::uint16_t status = static_cast<std::uint16_t>(0x1 | 0x10 | (words == VnmrjWords::Int32 ? 0x4 : 0) |
                                                          (words == VnmrjWords::Float32 ? 0x8 : 0));
  const std::uint32_t tbytes = np * ebytes, bbytes = static_cast<std::uint32_t>(tracesPerBlock) * tbytes + 28;
  const auto blocks = static_cast<std::uint32_t>(fids.size()) / static_cast<std::uint32_t>(tracesPerBlock);
  std::string file = u32(blocks, ByteOrder::Big) + u32(static_cast<std::uint32_t>(tracesPerBlock), ByteOrder::Big) +
                     u32(np, ByteOrder::Big) + u32(ebytes, ByteOrder::Big) + u32(tbytes, ByteOrder::Big) +
                     u32(bbytes, ByteOrder::Big) + be16(0) + be16(status) + u32(1, ByteOrder::Big);
  for (std::uint32_t b = 0; b < blocks; ++b) {
    file += be16(0) + be16(status) + be16(static_cast<std::uint16_t>(b + 1)) + be16(0) + u32(1, ByteOrder::Big) +
            std::string(16, '\0');
    for (int t = 0; t < tracesPerBlock; ++t) {
      for (const auto& z : fids[b * static_cast<std::uint32_t>(tracesPerBlock) + static_cast<std::uint32_t>(t)]) {
        // VnmrJ's imaginary parts run the other way round from Bruker's.
        for (const double v : {z.real(), -z.imag()}) {
          switch (words) {
            case VnmrjWords::Int16: file += be16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v)))); break;
            case VnmrjWords::Int32: file += u32(static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v))), ByteOrder::Big); break;
            case VnmrjWords::Float32: file += f32(static_cast<float>(v), ByteOrder::Big); break;
          }
        }
      }
    }
  }
  return file;
}

std::string procpar(const std::vector<std::pair<std::string, std::string>>& parameters) {
  std::string text;
  for (const auto& [name, value] : parameters) {
    const bool string = !value.empty() && value.front() == '"';
    text += name + (string ? " 2 2 8 0 0 2 1 0 1 64\n" : " 1 1 1e+18 -1e+18 0 2 1 0 1 64\n");
    text += "1 " + value + "\n0 \n";
  }
  return text;
}

std::string spinsolve_data(const std::vector<Fid>& fids, bool withAxis, double dwell) {
  const auto x = static_cast<std::uint32_t>(fids.front().size());
  // As a Spinsolve writes it: "PROS", "DATA" and "V1.1" as little-endian words.
  std::string file = "SORP" "ATAD" "1.1V" + u32(withAxis ? 504 : 501, ByteOrder::Little) + u32(x, ByteOrder::Little) +
                     u32(static_cast<std::uint32_t>(fids.size()), ByteOrder::Little) + u32(1, ByteOrder::Little) +
                     u32(1, ByteOrder::Little);
  if (withAxis) {
    for (std::uint32_t i = 0; i < x; ++i) file += f32(static_cast<float>(i * dwell), ByteOrder::Little);
  }
  for (const Fid& fid : fids) {
    // The rotation in a Spinsolve's sense, the other than Bruker's: its spectrum (made of
    // the real ibuprofen FID by the maker's own software) puts the lines where this
    // sense, read as Bruker's, would mirror them about the carrier.
    for (const auto& z : fid) file += f32(static_cast<float>(z.real()), ByteOrder::Little) + f32(static_cast<float>(-z.imag()), ByteOrder::Little);
  }
  return file;
}

std::string jeol_jdf(const std::vector<Fid>& fids, const JeolParameters& p) {
  const ByteOrder order = p.littleEndian ? ByteOrder::Little : ByteOrder::Big;
  const bool twoD = fids.size() > 1;
  const std::uint32_t x = static_cast<std::uint32_t>(fids.front().size()), y = static_cast<std::uint32_t>(fids.size());
  std::string header;
  place(header, 0, "JEOL.NMR");
  place(header, 8, std::string(1, p.littleEndian ? '\1' : '\0') + "\1" + be16(2));
  place(header, 12, std::string(1, twoD ? '\2' : '\1') + (twoD ? "\xc0" : "\x80") + std::string(1, twoD ? '\2' : '\1'));
  place(header, 24, std::string(1, static_cast<char>(p.axisTypes[0])) + (twoD ? std::string(1, static_cast<char>(p.axisTypes[1])) : ""));
  place(header, 32, std::string("\1") + static_cast<char>(p.firstAxisUnit) + (twoD ? "\1\x1c" : ""));
  place(header, 48, padded(p.title, 124, '\0'));
  place(header, 176, u32(x, ByteOrder::Big) + u32(twoD ? y : 1, ByteOrder::Big));
  place(header, 240, u32(x - 1, ByteOrder::Big) + u32(twoD ? y - 1 : 0, ByteOrder::Big));
  place(header, 336, f64((x - 1) / p.sweepHz, ByteOrder::Big));
  place(header, 1064, f64(p.frequencyHz / 1e6, ByteOrder::Big));

  // The parameter section, in the data's byte order.
  struct Record {
    const char* name;
    std::uint8_t unit;
    std::string value;
    std::uint32_t type;
  };
  const Record records[] = {{"X_SWEEP", 13, f64(p.sweepHz, order), 2},
                            {"X_FREQ", 13, f64(p.frequencyHz, order), 2},
                            {"X_OFFSET", 26, f64(p.offsetPpm, order), 2},
                            {"X_DOMAIN", 0, padded(p.domain, 16, ' '), 0}};
  std::string section = u32(64, order) + u32(0, order) + u32(std::size(records) - 1, order) + u32(64 * std::size(records), order);
  for (const Record& r : records) {
    std::string record(64, '\0');
    record.replace(6, 2, std::string("\1") + static_cast<char>(r.unit));
    record.replace(16, r.value.size(), r.value);
    record.replace(32, 4, u32(r.type, order));
    record.replace(36, 28, padded(r.name, 28, ' '));
    section += record;
  }
  const std::uint32_t paramStart = 1360, dataStart = paramStart + static_cast<std::uint32_t>(section.size());
  // Real parts first, imaginary parts (in JEOL's sense) second; a 2D section in 32 x 32
  // submatrices, row-major, each row-major itself.
  std::string data;
  for (int part = 0; part < 2; ++part) {
    std::vector<double> values(static_cast<std::size_t>(x) * y);
    for (std::uint32_t row = 0; row < y; ++row) {
      for (std::uint32_t i = 0; i < x; ++i) {
        const auto z = fids[row][i];
        const std::size_t at = twoD ? (static_cast<std::size_t>(row / 32) * (x / 32) + i / 32) * 1024 + (row % 32) * 32 + i % 32 : i;
        values[at] = part == 0 ? z.real() : -z.imag();
      }
    }
    for (const double v : values) data += f64(v, order);
  }
  place(header, 1212, u32(paramStart, ByteOrder::Big) + u32(static_cast<std::uint32_t>(section.size()), ByteOrder::Big));
  place(header, 1284, u32(dataStart, ByteOrder::Big) + bytes_of(data.size(), 8, ByteOrder::Big));
  header.resize(paramStart, '\0');
  return header + section + data;
}

std::string asdf_line(std::int64_t x, const std::vector<std::int64_t>& ys, AsdfForm form) {
  std::string line = std::to_string(x);
  for (std::size_t i = 0; i < ys.size(); ++i) {
    const std::int64_t v = ys[i];
    switch (form) {
      case AsdfForm::Affn: line += " " + std::to_string(v); break;
      case AsdfForm::Pac: line += (v < 0 ? "" : "+") + std::to_string(v); break;
      case AsdfForm::Sqz: line += sqz(v); break;
      case AsdfForm::Dif:
      case AsdfForm::DifDup: {
        if (i == 0) {
          line += sqz(v);
          break;
        }
        const std::int64_t d = v - ys[i - 1];
        std::size_t run = 1;
        while (form == AsdfForm::DifDup && i + run < ys.size() && ys[i + run] - ys[i + run - 1] == d) ++run;
        line += dif(d) + (run > 1 ? dup(static_cast<std::int64_t>(run)) : "");
        i += run - 1;
        break;
      }
    }
  }
  return line;
}

std::string jcamp_fid(const std::vector<std::vector<std::int64_t>>& reals,
                      const std::vector<std::vector<std::int64_t>>& imaginaries, AsdfForm form,
                      const std::string& extraRecords, double dwell) {
  const std::size_t n = reals.front().size();
  const bool twoD = reals.size() > 1;
  const std::string dims = std::to_string(n);
  std::string text = "##TITLE= synthetic FID\n##JCAMP-DX= 6.0\n##DATA TYPE= " + std::string(twoD ? "nD NMR FID" : "NMR FID") +
                     "\n##DATA CLASS= NTUPLES\n##.OBSERVE FREQUENCY= 400.13\n##.OBSERVE NUCLEUS= ^1H\n" + extraRecords;
  const std::string last = platform::decimal_text(static_cast<double>(n - 1) * dwell);
  if (twoD) {
    text += "##NTUPLES= nD NMR FID\n##VAR_NAME= TIME1, TIME2, FID/REAL, FID/IMAG\n##SYMBOL= T1, T2, R, I\n"
            "##VAR_TYPE= INDEPENDENT, INDEPENDENT, DEPENDENT, DEPENDENT\n##VAR_FORM= AFFN, AFFN, ASDF, ASDF\n"
            "##VAR_DIM= " + std::to_string(reals.size()) + ", " + dims + ", " + dims + ", " + dims +
            "\n##UNITS= SECONDS, SECONDS, ARBITRARY UNITS, ARBITRARY UNITS\n##FACTOR= 1, " +
            platform::decimal_text(dwell) + ", 1, 1\n##FIRST= 0, 0, 0, 0\n##LAST= 1, " + last + ", 0, 0\n";
  } else {
    text += "##NTUPLES= NMR FID\n##VAR_NAME= TIME, FID/REAL, FID/IMAG\n##SYMBOL= X, R, I\n"
            "##VAR_TYPE= INDEPENDENT, DEPENDENT, DEPENDENT\n##VAR_FORM= AFFN, ASDF, ASDF\n##VAR_DIM= " + dims +
            ", " + dims + ", " + dims + "\n##UNITS= SECONDS, ARBITRARY UNITS, ARBITRARY UNITS\n##FACTOR= " +
            platform::decimal_text(dwell) + ", 1, 1\n##FIRST= 0, 0, 0\n##LAST= " + last + ", 0, 0\n";
  }
  const bool checked = form == AsdfForm::Dif || form == AsdfForm::DifDup;
  int page = 0;
  for (std::size_t f = 0; f < reals.size(); ++f) {
    for (const auto* values : {&reals[f], &imaginaries[f]}) {
      const char* symbol = values == &reals[f] ? "R" : "I";
      text += "##PAGE= " + std::string(twoD ? "T1=" + std::to_string(f) : "N=" + std::to_string(++page)) + "\n";
      text += "##DATA TABLE= (" + std::string(twoD ? "T2" : "X") + "++(" + symbol + ".." + symbol + ")), " +
              (twoD ? "PROFILE" : "XYDATA") + "\n";
      // Ten ordinates a line; in the DIF forms each line but the first repeats the last
      // ordinate of the line before, as its check.
      for (std::size_t start = 0; start < values->size();) {
        const std::size_t from = start == 0 || !checked ? start : start - 1;
        const std::size_t to = std::min(values->size(), from + 10);
        text += asdf_line(static_cast<std::int64_t>(from), {values->begin() + static_cast<std::ptrdiff_t>(from),
                                                            values->begin() + static_cast<std::ptrdiff_t>(to)}, form) + "\n";
        start = to;
      }
    }
  }
  text += "##END NTUPLES= " + std::string(twoD ? "nD NMR FID" : "NMR FID") + "\n##END=\n";
  return text;
}

}  // namespace testsupport
