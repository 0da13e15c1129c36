// JCAMP-DX files that hold an NMR FID.
#include "formats/jcamp_dx.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <deque>
#include <map>
#include <utility>
#include <vector>

#include "formats/asdf.hpp"
#include "formats/nucleus.hpp"
#include "formats/solvent.hpp"
#include "platform/text.hpp"

namespace formats {
namespace {

constexpr std::size_t kMostLine = std::size_t{1} << 20;
constexpr std::int64_t kMostPagePoints = std::int64_t{1} << 24;
constexpr std::size_t kPairBlock = 4096;
constexpr std::size_t kReadBlock = std::size_t{64} << 10;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// A record's value: the text behind "=", without a "$$" comment and the blanks around it.
std::string_view value_of(std::string_view text) {
  return trimmed(text.substr(0, std::min(text.find("$$"), text.size())));
}

std::optional<double> number_of(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A "##LABEL= value" line's label as JCAMP-DX compares labels, and its value.
std::pair<std::string, std::string> record_of(std::string_view text) {
  const std::size_t eq = text.find('=');
  return {jcamp_label(text.substr(2, (eq == std::string_view::npos ? text.size() : eq) - 2)),
          std::string(eq == std::string_view::npos ? std::string_view() : value_of(text.substr(eq + 1)))};
}

std::vector<std::string> fields_of(std::string_view text) {
  std::vector<std::string> fields;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    fields.emplace_back(trimmed(text.substr(start, comma - start)));
    start = comma + 1;
  }
  return fields;
}

// The file's lines, a block of bytes at a time.
class Lines {
 public:
  explicit Lines(Source& source) : source_(source) {}
  // The next line without its line end; false at the end, or at a line too long to be one.
  bool next(std::string& line) {
    line.clear();
    for (;;) {
      if (at_ >= buffer_.size()) {
        if (offset_ >= source_.length()) return finish(!line.empty());
        buffer_.resize(static_cast<std::size_t>(std::min<std::int64_t>(kReadBlock, source_.length() - offset_)));
        if (!source_.read(offset_, buffer_.data(), buffer_.size())) return finish(false);
        offset_ += static_cast<std::int64_t>(buffer_.size());
        at_ = 0;
      }
      const std::size_t end = buffer_.find('\n', at_);
      const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
      line.append(buffer_, at_, stop - at_);
      at_ = end == std::string::npos ? stop : stop + 1;
      if (line.size() > kMostLine) {
        tooLong_ = true;
        return false;
      }
      if (end != std::string::npos) return finish(true);
    }
  }
  bool too_long() const { return tooLong_; }
  std::int64_t number() const { return number_; }

 private:
  bool finish(bool got) {
    if (got) ++number_;
    return got;
  }
  Source& source_;
  std::string buffer_;
  std::size_t at_ = 0;
  std::int64_t offset_ = 0;
  std::int64_t number_ = 0;
  bool tooLong_ = false;
};

// One block, from its ##TITLE to its ##END, and what it says.
struct Block {
  std::string title;
  std::map<std::string, std::string> records;  // the first of each label
  const std::string* record(const std::string& label) const {
    const auto it = records.find(label);
    return it == records.end() ? nullptr : &it->second;
  }
  bool says(const std::string& label, const std::string& what) const {
    const std::string* value = record(label);
    return value && jcamp_label(*value).find(what) != std::string::npos;
  }
};

// The ordinates of one table, line by line, with the DIF form's check at each line break.
class Table {
 public:
  // A line of the table.
  std::string add_line(std::string_view text) {
    AsdfLine line;
    // One more than the page may hold: a line may begin with its check value.
    const std::int64_t room = kMostPagePoints + 1 - values_.size();
    if (std::string why = decode_asdf_line(text, line, room); !why.empty()) return why;
    if (line.blank) return {};
    if (checkPending_) {
      // The line before ended in a difference: this one repeats its last value first.
      if (line.ys.empty()) return "it has no DIF check value";
      if (line.ys.front() != values_.back()) {
        return "its DIF check value " + platform::decimal_text(line.ys.front()) + " does not repeat " +
               platform::decimal_text(values_.back());
      }
    }
    values_.append(line.ys, checkPending_);
    if (values_.size() > kMostPagePoints) return "a page holds more points than can be read";
    checkPending_ = line.endsInDif;
    return {};
  }
  // Its ordinates so far; the table starts again empty.
  Ordinates take() {
    checkPending_ = false;
    return std::exchange(values_, {});
  }

 private:
  Ordinates values_;
  bool checkPending_ = false;
};

// The NTUPLES block being read: its columns, its pages and the FIDs they make.
class Ntuples {
 public:
  Ntuples(const Block& block, PointSink& sink) : block_(block), sink_(sink) {}

  // A ##DATA TABLE record "(X++(R..R)), ...": which column its lines fill.
  std::string begin_table(std::string_view spec) {
    const std::string compact = jcamp_label(spec);
    const std::size_t open = compact.find("++(");
    const std::size_t dots = compact.find("..", open);
    if (open == std::string::npos || dots == std::string::npos) return "its data table (" + std::string(spec) + ") is not of the form (X++(Y..Y))";
    const std::string symbol = compact.substr(open + 3, dots - open - 3);
    const auto symbols = column("SYMBOL"), names = column("VARNAME"), factors = column("FACTOR");
    std::size_t k = 0;
    while (k < symbols.size() && jcamp_label(symbols[k]) != symbol) ++k;
    const std::string name = k < names.size() ? jcamp_label(names[k]) : symbol;
    if (name.find("REAL") != std::string::npos || (k >= names.size() && symbol == "R")) {
      imaginary_ = false;
    } else if (name.find("IMAG") != std::string::npos || (k >= names.size() && symbol == "I")) {
      imaginary_ = true;
    } else {
      return "its data table fills " + symbol + ", which is neither the real nor the imaginary part";
    }
    factor_ = k < factors.size() ? number_of(factors[k]).value_or(1) : 1;
    if (expected_ == 0) expected_ = expected_points(k);
    inTable_ = true;
    table_.take();
    return {};
  }
  bool in_table() const { return inTable_; }

  std::string add_line(std::string_view text) { return table_.add_line(text); }

  // The table has ended: its values become a page, and a page of each part an FID.
  std::string end_table() {
    inTable_ = false;
    (imaginary_ ? imaginaries_ : reals_).push_back({table_.take(), factor_});
    while (!reals_.empty() && !imaginaries_.empty()) {
      const Page& re = reals_.front();
      const Page& im = imaginaries_.front();
      const auto points = static_cast<std::size_t>(re.ordinates.size());
      if (re.ordinates.size() != im.ordinates.size()) {
        return "a real page of " + std::to_string(points) + " points meets an imaginary page of " +
               std::to_string(im.ordinates.size());
      }
      if (expected_ != 0 && points != expected_) {
        return "a page holds " + std::to_string(points) + " points, ##VAR_DIM says " + std::to_string(expected_);
      }
      if (points == 0) return "a page holds no points";
      if (points_ == 0) points_ = points;
      if (points != points_ || static_cast<std::int64_t>(points_) * (fids_ + 1) > kMostPoints) {
        return "its FIDs hold more points than can be sounded";
      }
      put_pairs(re, im);
      ++fids_;
      reals_.pop_front();
      imaginaries_.pop_front();
    }
    return {};
  }

  // What the block says of its acquisition; the reason when it holds no whole FID.
  std::string describe(Description& d) const {
    if (fids_ == 0 || !reals_.empty() || !imaginaries_.empty()) return "its real and imaginary pages do not pair up";
    Acquisition& a = d.acquisition;
    a.points = static_cast<std::int64_t>(points_);
    a.fids = fids_;
    a.sweepHz = parameter("$SWH").value_or(time_axis_sweep());
    a.frequencyMHz = parameter("$BF1").value_or(parameter(".OBSERVEFREQUENCY").value_or(0));
    a.offsetHz = parameter("$O1").value_or(shift_reference_offset(a));
    if (const std::string* nucleus = block_.record(".OBSERVENUCLEUS")) a.nucleus = nucleus_symbol(*nucleus);
    if (const std::string* solvent = block_.record("$SOLVENT") ? block_.record("$SOLVENT") : block_.record(".SOLVENTNAME")) {
      a.solvent = solvent_name(*solvent);
    }
    // A Bruker FID's digital filter, which its processing must take out.
    a.groupDelay = parameter("$GRPDLY").value_or(-1);
    a.decimation = static_cast<long long>(parameter("$DECIM").value_or(0));
    a.dspVersion = static_cast<long long>(parameter("$DSPFVS").value_or(0));
    a.referenceMHz = operator_reference(a);
    d.title = block_.title;
    return {};
  }

 private:
  std::vector<std::string> column(const std::string& label) const {
    const std::string* value = block_.record(label);
    return value ? fields_of(*value) : std::vector<std::string>{};
  }
  std::optional<double> parameter(const std::string& label) const {
    const std::string* value = block_.record(label);
    return value ? number_of(*value) : std::nullopt;
  }
  // The direct time axis: the last independent column.
  std::size_t time_column() const {
    const auto types = column("VARTYPE");
    std::size_t k = types.size();
    while (k > 0 && jcamp_label(types[k - 1]) != "INDEPENDENT") --k;
    return k == 0 ? 0 : k - 1;
  }
  // The points a page of column k must hold, as ##VAR_DIM says; 0 when it says nothing
  // that could be a page's length.
  std::size_t expected_points(std::size_t k) const {
    const auto dims = column("VARDIM");
    // A 2D file gives its pages' length as the direct dimension's.
    if (column("VARTYPE").size() > 3) k = time_column();
    if (k >= dims.size()) return 0;
    const double n = number_of(dims[k]).value_or(0);
    return n >= 1 && n <= static_cast<double>(kMostPagePoints) ? static_cast<std::size_t>(n) : 0;
  }
  double time_axis_sweep() const {
    const std::size_t t = time_column();
    const auto firsts = column("FIRST"), lasts = column("LAST"), dims = column("VARDIM");
    if (t >= firsts.size() || t >= lasts.size() || t >= dims.size()) return 0;
    const double span = number_of(lasts[t]).value_or(0) - number_of(firsts[t]).value_or(0);
    const double n = number_of(dims[t]).value_or(0);
    return span > 0 && n > 1 ? (n - 1) / span : 0;
  }
  // "##.SHIFT REFERENCE= INTERNAL, CDCl3, 1, 15.47866": the first point of the spectrum,
  // half the sweep above the carrier, at that many ppm.
  std::optional<double> first_point_ppm() const {
    const auto fields = column(".SHIFTREFERENCE");
    if (fields.size() < 4 || number_of(fields[2]) != 1.0) return std::nullopt;
    return number_of(fields[3]);
  }
  double shift_reference_offset(const Acquisition& a) const {
    const auto ppm = first_point_ppm();
    return ppm ? *ppm * a.frequencyMHz - a.sweepHz / 2 : 0;
  }
  // The frequency that the shift reference makes 0 ppm: the first point, at
  // SFO1 + SW / 2, reads its ppm there. 0 when the file says too little.
  double operator_reference(const Acquisition& a) const {
    const auto ppm = first_point_ppm();
    const double sfo1 = parameter("$SFO1").value_or(a.frequencyMHz + a.offsetHz * 1e-6);
    if (!ppm || !(sfo1 > 0) || !(a.sweepHz > 0)) return 0;
    return (sfo1 * 1e6 + a.sweepHz / 2) / (1e6 + *ppm);
  }

  // A table's ordinates, and the factor they are to be multiplied by.
  struct Page {
    Ordinates ordinates;
    double factor = 1;
  };

  // An FID from a real and an imaginary page of the same length, a block at a time.
  void put_pairs(const Page& re, const Page& im) {
    Ordinates::Reader reals(re.ordinates), imaginaries(im.ordinates);
    double r[kPairBlock], i[kPairBlock], pairs[2 * kPairBlock];
    for (std::size_t n; (n = reals.take(r, kPairBlock, re.factor)) > 0;) {
      imaginaries.take(i, n, im.factor);
      for (std::size_t k = 0; k < n; ++k) {
        pairs[2 * k] = r[k];
        pairs[2 * k + 1] = i[k];
      }
      sink_.put(pairs, n);
    }
  }

  const Block& block_;
  PointSink& sink_;
  bool inTable_ = false;
  bool imaginary_ = false;
  double factor_ = 1;
  Table table_;
  std::size_t expected_ = 0;
  std::deque<Page> reals_, imaginaries_;
  std::size_t points_ = 0;
  std::int64_t fids_ = 0;
};

}  // namespace

std::string jcamp_label(std::string_view label) {
  std::string compact;
  for (const char c : label) {
    if (c == ' ' || c == '-' || c == '/' || c == '_' || c == '\t') continue;
    compact += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return compact;
}

bool is_jcamp_dx(std::string_view head) {
  if (head.starts_with("\xef\xbb\xbf")) head.remove_prefix(3);
  head = trimmed(head);
  const std::size_t eq = head.find('=');
  if (!head.starts_with("##") || eq == std::string_view::npos) return false;
  const std::string label = jcamp_label(head.substr(2, eq - 2));
  return label == "TITLE" || label == "JCAMPDX";
}

Reading read_jcamp_dx(Source& source, PointSink& sink) {
  Lines lines(source);
  std::deque<Block> open;  // a deque: blocks keep their places as others open
  std::optional<Ntuples> fid;
  const Block* fidBlock = nullptr;
  bool spectrum = false, otherFid = false;
  const auto at_line = [&](const std::string& why) { return Reading::refused("line " + std::to_string(lines.number()) + ": " + why); };
  for (std::string line; lines.next(line);) {
    const std::string_view text = trimmed(line);
    if (!text.starts_with("##")) {
      if (fid && fid->in_table()) {
        if (std::string why = fid->add_line(text); !why.empty()) return at_line(why);
      }
      continue;
    }
    if (fid && fid->in_table()) {
      if (std::string why = fid->end_table(); !why.empty()) return at_line(why);
    }
    const auto [label, value] = record_of(text);
    if (label == "TITLE") {
      open.push_back({value, {}});
      continue;
    }
    if (open.empty()) return at_line("a record before the first ##TITLE");
    Block& block = open.back();
    if (label == "END") {
      if (fidBlock == &block) {
        Description d;
        d.maker = Maker::JcampDx;
        if (std::string why = fid->describe(d); !why.empty()) return Reading::refused(why);
        return {d, {}};
      }
      otherFid = otherFid || block.says("DATATYPE", "NMRFID");
      spectrum = spectrum || block.says("DATATYPE", "SPECTRUM");
      open.pop_back();
      continue;
    }
    block.records.emplace(label, value);
    // The first table of a block tells what the block holds.
    if (label == "DATATABLE" && !fidBlock && block.says("DATATYPE", "NMRFID") && block.says("DATACLASS", "NTUPLES")) {
      fidBlock = &block;
      fid.emplace(block, sink);
    }
    if (label == "DATATABLE" && fidBlock == &block) {
      if (std::string why = fid->begin_table(value); !why.empty()) return at_line(why);
    }
  }
  for (const Block& block : open) spectrum = spectrum || block.says("DATATYPE", "SPECTRUM");
  if (lines.too_long()) return Reading::refused("line " + std::to_string(lines.number() + 1) + " is longer than a MiB");
  if (fidBlock) return Reading::refused("it ends before the ##END of its FID's block");
  if (otherFid) return Reading::refused("its NMR FID is not in the NTUPLES form, the one read");
  if (spectrum) return Reading::refused(kProcessedOnly);
  return Reading::refused("it holds no NMR FID");
}

std::optional<JcampSpectrum> read_jcamp_spectrum(Source& source, std::string& why) {
  Lines lines(source);
  std::deque<Block> open;
  std::optional<Table> table;  // while the spectrum's table is read
  Block* tableBlock = nullptr;
  const auto refused = [&](const std::string& reason) {
    why = "line " + std::to_string(lines.number()) + ": " + reason;
    return std::nullopt;
  };
  for (std::string line; lines.next(line);) {
    const std::string_view text = trimmed(line);
    if (!text.starts_with("##")) {
      if (table) {
        if (std::string reason = table->add_line(text); !reason.empty()) return refused(reason);
      }
      continue;
    }
    if (table) {
      // The table has ended: its values, and what the block said of them.
      const Block& b = *tableBlock;
      const auto number = [&](const char* label, double otherwise) {
        const std::string* v = b.record(label);
        return v ? number_of(*v).value_or(otherwise) : otherwise;
      };
      JcampSpectrum spectrum;
      spectrum.y = table->take().expanded();
      for (double& y : spectrum.y) y *= number("YFACTOR", 1);
      spectrum.firstX = number("FIRSTX", 0);
      spectrum.lastX = number("LASTX", 0);
      spectrum.observeMHz = number(".OBSERVEFREQUENCY", 0);
      spectrum.title = b.title;
      if (const std::string* units = b.record("XUNITS")) spectrum.xUnits = jcamp_label(*units);
      const double points = number("NPOINTS", static_cast<double>(spectrum.y.size()));
      if (points != static_cast<double>(spectrum.y.size())) {
        return refused("its table holds " + std::to_string(spectrum.y.size()) + " points, ##NPOINTS says " +
                       platform::decimal_text(points));
      }
      return spectrum;
    }
    const auto [label, value] = record_of(text);
    if (label == "TITLE") {
      open.push_back({value, {}});
      continue;
    }
    if (open.empty()) return refused("a record before the first ##TITLE");
    if (label == "END") {
      open.pop_back();
      continue;
    }
    open.back().records.emplace(label, value);
    if (label == "XYDATA" && jcamp_label(value) == "(X++(Y..Y))") {
      table.emplace();
      tableBlock = &open.back();
    }
  }
  if (lines.too_long()) return refused("a line is longer than a MiB");
  why = table ? "it ends inside its table" : "it holds no (X++(Y..Y)) table";
  return std::nullopt;
}

}  // namespace formats
