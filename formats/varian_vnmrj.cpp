// Agilent/Varian VnmrJ datasets.
#include "formats/varian_vnmrj.hpp"

#include <cctype>
#include <charconv>
#include <optional>

#include "formats/nucleus.hpp"
#include "formats/solvent.hpp"
#include "formats/words.hpp"

namespace formats {
namespace {

using common::ByteOrder;

constexpr std::size_t kFileHeader = 32, kBlockHeader = 28;
constexpr std::int32_t kMostBlockHeaders = 16;
// Status bits of the file header.
constexpr std::uint16_t kHasData = 0x1, kSpectrum = 0x2, kWords32 = 0x4, kFloats = 0x8;

struct Header {
  std::int64_t blocks, traces, elements, elementBytes, traceBytes, blockBytes, blockHeaders;
  std::uint16_t status;
};

Header header_of(std::string_view bytes) {
  const Fields f(bytes, ByteOrder::Big);
  return {f.i32(0), f.i32(4), f.i32(8), f.i32(12), f.i32(16), f.i32(20), f.i32(28), f.u16(26)};
}

// Why the header's sizes do not agree with each other and the file; empty when they do.
std::string disagreement(const Header& h, std::int64_t length) {
  if (h.blocks < 1 || h.traces < 1 || h.elements < 2 || h.elements % 2 != 0 ||
      (h.elementBytes != 2 && h.elementBytes != 4) || h.blockHeaders < 1 || h.blockHeaders > kMostBlockHeaders) {
    return "its header's counts are out of range";
  }
  if (h.traceBytes != h.elements * h.elementBytes ||
      h.blockBytes != h.traces * h.traceBytes + h.blockHeaders * static_cast<std::int64_t>(kBlockHeader)) {
    return "its header's sizes do not add up";
  }
  if (h.blockBytes > length || h.blocks > (length - static_cast<std::int64_t>(kFileHeader)) / h.blockBytes ||
      kFileHeader + h.blocks * h.blockBytes != static_cast<std::uint64_t>(length)) {
    return "its header says " + std::to_string(h.blocks) + " blocks of " + std::to_string(h.blockBytes) +
           " bytes, the file holds " + std::to_string(length);
  }
  return {};
}

std::optional<double> real(const Procpar& p, const std::string& name) {
  const auto it = p.values.find(name);
  if (it == p.values.end() || it->second.empty()) return std::nullopt;
  double value = 0;
  const std::string& text = it->second.front();
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return std::string(text);
}

// procpar's words: bare ones, and quoted ones with backslash escapes.
class Words {
 public:
  explicit Words(std::string_view text) : text_(text) {}
  std::optional<std::string> next() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    if (at_ >= text_.size()) return std::nullopt;
    std::string word;
    if (text_[at_] == '"') {
      for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
        if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
        word += text_[at_];
      }
      if (at_ >= text_.size()) return std::nullopt;  // a quote never closed
      ++at_;
      return word;
    }
    while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_]))) word += text_[at_++];
    return word;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<long long> count_of(const std::optional<std::string>& word) {
  if (!word) return std::nullopt;
  long long n = 0;
  const auto [end, error] = std::from_chars(word->data(), word->data() + word->size(), n);
  if (error != std::errc() || end != word->data() + word->size() || n < 0) return std::nullopt;
  return n;
}

}  // namespace

Procpar parse_procpar(std::string_view text) {
  Procpar p;
  Words words(text);
  // Each parameter: its name and ten attributes, its values, then its enumeration.
  while (const auto name = words.next()) {
    for (int i = 0; i < 10; ++i) {
      if (!words.next()) return {p.values, "procpar breaks off in " + *name};
    }
    std::vector<std::string> values;
    const auto count = count_of(words.next());
    if (!count) return {p.values, "procpar's " + *name + " has no count of values"};
    for (long long i = 0; i < *count; ++i) {
      auto value = words.next();
      if (!value) return {p.values, "procpar breaks off in " + *name};
      values.push_back(std::move(*value));
    }
    const auto enumerated = count_of(words.next());
    if (!enumerated) return {p.values, "procpar's " + *name + " has no count of choices"};
    for (long long i = 0; i < *enumerated; ++i) {
      if (!words.next()) return {p.values, "procpar breaks off in " + *name};
    }
    p.values.emplace(*name, std::move(values));
  }
  return p;
}

bool is_varian_vnmrj(Source& source) {
  const std::string head = source.head(kFileHeader);
  return head.size() == kFileHeader && disagreement(header_of(head), source.length()).empty() &&
         source.has_sibling("procpar");
}

Reading read_varian_vnmrj(Source& source, PointSink& sink) {
  const std::string head = source.head(kFileHeader);
  if (head.size() < kFileHeader) return Reading::refused("its header is cut short");
  const Header h = header_of(head);
  if (std::string why = disagreement(h, source.length()); !why.empty()) return Reading::refused(why);
  if (h.status & kSpectrum) return Reading::refused(kProcessedOnly);
  if (!(h.status & kHasData)) return Reading::refused("its header says it holds no data");
  const WordKind kind = (h.status & kFloats) ? WordKind::Float32 : (h.status & kWords32) ? WordKind::Int32 : WordKind::Int16;
  if (static_cast<std::int64_t>(word_bytes(kind)) != h.elementBytes) {
    return Reading::refused("its header's word size does not agree with its status");
  }
  const std::int64_t points = h.elements / 2;
  if (points * h.traces * h.blocks > kMostPoints) return Reading::refused("it holds more points than can be sounded");

  const Procpar procpar = parse_procpar(source.sibling("procpar"));
  if (!procpar.damage.empty()) return Reading::refused(procpar.damage);
  Description d;
  d.maker = Maker::VarianVnmrj;
  Acquisition& a = d.acquisition;
  const auto sw = real(procpar, "sw");
  if (!sw || *sw <= 0) return Reading::refused("its procpar gives no spectral width (sw)");
  a.sweepHz = *sw;
  a.frequencyMHz = real(procpar, "sfrq").value_or(0);
  // rfl: the reference line's place, in Hz from the spectrum's low end; rfp: its shift.
  const auto rfl = real(procpar, "rfl"), rfp = real(procpar, "rfp");
  a.offsetHz = a.sweepHz / 2 - rfl.value_or(0) + rfp.value_or(0);
  // rfl and rfp are the operator's referencing.
  if (rfl && rfp) a.referenceMHz = a.frequencyMHz;
  if (const auto tn = procpar.values.find("tn"); tn != procpar.values.end() && !tn->second.empty()) {
    a.nucleus = nucleus_symbol(tn->second.front());
  }
  if (const auto solvent = procpar.values.find("solvent"); solvent != procpar.values.end() && !solvent->second.empty()) {
    a.solvent = solvent_name(solvent->second.front());
  }
  a.points = points;
  a.fids = h.blocks * h.traces;
  d.title = trimmed(source.sibling("text"));

  std::vector<unsigned char> raw(static_cast<std::size_t>(h.traceBytes));
  std::vector<double> words(static_cast<std::size_t>(h.elements));
  for (std::int64_t b = 0; b < h.blocks; ++b) {
    for (std::int64_t t = 0; t < h.traces; ++t) {
      const std::int64_t at = static_cast<std::int64_t>(kFileHeader) + b * h.blockBytes +
                              h.blockHeaders * static_cast<std::int64_t>(kBlockHeader) + t * h.traceBytes;
      if (!source.read(at, raw.data(), raw.size())) return Reading::refused("its data cannot be read");
      decode_words(raw.data(), words.size(), kind, ByteOrder::Big, words.data());
      for (std::size_t k = 1; k < words.size(); k += 2) words[k] = -words[k];
      sink.put(words.data(), static_cast<std::size_t>(points));
    }
  }
  return {d, {}};
}

}  // namespace formats
