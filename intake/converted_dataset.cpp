// A dataset of another maker, written into the scratch folder as a Bruker dataset.
#include "intake/converted_dataset.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>

#include "common/byte_order.hpp"
#include "common/converted_parameters.hpp"
#include "platform/text.hpp"

namespace intake {
namespace {

const char* maker_name(formats::Maker maker) {
  switch (maker) {
    case formats::Maker::JeolDelta: return "JEOL Delta";
    case formats::Maker::JcampDx: return "JCAMP-DX";
    case formats::Maker::VarianVnmrj: return "Agilent/Varian VnmrJ";
    case formats::Maker::MagritekSpinsolve: return "Magritek Spinsolve";
    case formats::Maker::Bruker: break;
  }
  return "Bruker";
}

// A nucleus as a parameter file may hold it: letters and digits only.
std::string nucleus_text(const std::string& nucleus) {
  std::string kept;
  for (const char c : nucleus) {
    if (std::isalnum(static_cast<unsigned char>(c))) kept += c;
  }
  return kept.empty() ? "off" : kept;
}

constexpr std::size_t kPiece = 4096;
// A Bruker console's FIDs reach 2^29 to 2^30; so do the converted ones.
constexpr int kLoudestExponent = 30;

// n doubles as little-endian bytes.
void encode(const double* values, std::size_t n, unsigned char* bytes) {
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(values[i]);
    if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
    std::memcpy(bytes + 8 * i, &bits, 8);
  }
}

}  // namespace

DoublesFile::DoublesFile(platform::BinaryFile& file) : file_(file) {
  const unsigned char zeros[16 * kLeadInPoints] = {};
  file_.write(zeros, sizeof zeros);
}

void DoublesFile::put(const double* pairs, std::size_t count) {
  unsigned char bytes[8 * kPiece];
  for (std::size_t first = 0; first < 2 * count; first += kPiece) {
    const std::size_t n = std::min(kPiece, 2 * count - first);
    for (std::size_t i = 0; i < n; ++i) {
      const double magnitude = std::fabs(pairs[first + i]);
      if (!std::isfinite(magnitude)) continue;
      largest_ = std::max(largest_, magnitude);
      if (pointsPut_ + (first + i) / 2 < kScaledPoints) {
        double& strongest = (first + i) % 2 == 0 ? strongestReal_ : strongestImaginary_;
        strongest = std::max(strongest, magnitude);
      }
    }
    encode(pairs + first, n, bytes);
    file_.write(bytes, 8 * n);
  }
  pointsPut_ += count;
}

int DoublesFile::loudness_exponent() const {
  if (!(largest_ > 0)) return 0;
  int exponent = 0;
  std::frexp(largest_, &exponent);  // largest_ lies in [2^(exponent-1), 2^exponent)
  return kLoudestExponent - exponent;
}

void DoublesFile::finish(int exponent, int turn) {
  if (exponent == 0 && turn == 0) return;
  const std::int64_t bytes = file_.length();
  unsigned char raw[8 * kPiece];
  double values[kPiece];
  for (std::int64_t at = 16 * kLeadInPoints; at < bytes; at += static_cast<std::int64_t>(sizeof raw)) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kPiece, (bytes - at) / 8));
    if (!file_.set_position(at + 1) || file_.read(raw, 8 * n) != 8 * n) return;  // the flag tells
    for (std::size_t i = 0; i < n; ++i) values[i] = std::ldexp(common::float64_at<common::ByteOrder::Little>(raw + 8 * i), exponent);
    // (re + i im) i = -im + i re: exact, a swap and a sign.
    for (std::size_t i = 0; turn == 1 && i + 1 < n; i += 2) {
      const double re = values[i];
      values[i] = -values[i + 1];
      values[i + 1] = re;
    }
    encode(values, n, raw);
    file_.set_position(at + 1);
    file_.write(raw, 8 * n);
  }
}

std::string converted_acqus(const formats::Description& d, int scaleExponent, int turn) {
  const formats::Acquisition& a = d.acquisition;
  const auto line = [](const char* key, const std::string& value) { return std::string("##$") + key + "= " + value + "\n"; };
  const auto number = [](double value) { return platform::decimal_text(value); };
  std::string text = "##TITLE= Acquisition parameters of a " + std::string(maker_name(d.maker)) + " dataset\n";
  text += "##JCAMPDX= 5.0\n##DATATYPE= Parameter Values\n##ORIGIN= " + std::string(maker_name(d.maker)) + "\n";
  text += line("BYTORDA", "0") + line("DTYPA", "2");
  text += line("SW_h", number(a.sweepHz));
  text += line("SFO1", number(a.frequencyMHz + a.offsetHz * 1e-6));
  text += line("BF1", number(a.frequencyMHz));
  text += line("O1", number(a.offsetHz));
  text += line("NUC1", "<" + nucleus_text(a.nucleus) + ">");
  text += line("TD", std::to_string(2 * (a.points + DoublesFile::kLeadInPoints)));
  if (!a.solvent.empty()) text += line("SOLVENT", "<" + a.solvent + ">");
  if (a.groupDelay >= 0) text += line("GRPDLY", number(a.groupDelay));
  if (a.decimation > 0) text += line("DECIM", std::to_string(a.decimation));
  if (a.dspVersion > 0) text += line("DSPFVS", std::to_string(a.dspVersion));
  if (a.referenceMHz > 0) text += line(common::kOperatorReferenceParameter, number(a.referenceMHz));
  text += line(common::kScaleParameter, "2^" + std::to_string(scaleExponent));
  text += line(common::kLeadInParameter, std::to_string(DoublesFile::kLeadInPoints));
  text += line(common::kTurnParameter, std::to_string(turn));
  text += "##END=\n";
  return text;
}

}  // namespace intake
