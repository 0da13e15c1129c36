// A dataset of another maker, written into the scratch folder as a Bruker dataset.
#include "intake/converted_dataset.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

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

}  // namespace

void DoublesFile::put(const double* pairs, std::size_t count) {
  constexpr std::size_t kPiece = 4096;
  unsigned char bytes[8 * kPiece];
  for (std::size_t first = 0; first < 2 * count; first += kPiece) {
    const std::size_t n = std::min(kPiece, 2 * count - first);
    for (std::size_t i = 0; i < n; ++i) {
      std::uint64_t bits = std::bit_cast<std::uint64_t>(pairs[first + i]);
      if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
      std::memcpy(bytes + 8 * i, &bits, 8);
    }
    file_.write(bytes, 8 * n);
  }
}

std::string converted_acqus(const formats::Description& d) {
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
  text += line("TD", std::to_string(2 * a.points));
  text += "##END=\n";
  return text;
}

}  // namespace intake
