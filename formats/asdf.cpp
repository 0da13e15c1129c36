// The number forms of JCAMP-DX tables.
#include "formats/asdf.hpp"

#include <charconv>
#include <cmath>

namespace formats {
namespace {

enum class Form { None, Absolute, Difference, Duplicate };

// The sign and first digit a pseudo-digit stands for, in its form.
struct Pseudo {
  Form form = Form::None;
  int digit = 0;  // signed: -9 to 9 (a duplicate count: 1 to 9)
};

// The pseudo-digits of each form: for a zero, then for 1 to 9 and -1 to -9 (a count
// has no sign: its second row is its first).
struct Letters {
  Form form;
  char zero;
  const char* positive;
  const char* negative;
};
constexpr Letters kSqz{Form::Absolute, '@', "ABCDEFGHI", "abcdefghi"};
constexpr Letters kDif{Form::Difference, '%', "JKLMNOPQR", "jklmnopqr"};
constexpr Letters kDup{Form::Duplicate, '?', "STUVWXYZs", "STUVWXYZs"};

Pseudo pseudo_digit(char c) {
  for (const Letters& l : {kSqz, kDif, kDup}) {
    if (c == l.zero && l.form != Form::Duplicate) return {l.form, 0};
    for (int d = 0; d < 9; ++d) {
      if (c == l.positive[d]) return {l.form, d + 1};
      if (c == l.negative[d]) return {l.form, -(d + 1)};
    }
  }
  return {};
}

void append_pseudo(std::string& out, std::int64_t v, const Letters& letters) {
  if (v == 0) {
    out += letters.zero;
    return;
  }
  char digits[24];
  char* const end = std::to_chars(digits, digits + sizeof digits, v < 0 ? -v : v).ptr;
  const int first = digits[0] - '0';
  out += v < 0 ? letters.negative[first - 1] : letters.positive[first - 1];
  out.append(digits + 1, static_cast<std::size_t>(end - digits - 1));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An AFFN number from at on: a sign, digits with one decimal point, and an exponent
// only as "E" with its sign ("1.5E-03"), since a bare "E5" or "e5" is a pseudo-digit of
// the next value. Moves at past it.
bool parse(std::string_view text, std::size_t& at, double& value) {
  std::size_t end = at;
  if (end < text.size() && text[end] == '-') ++end;
  for (bool point = false; end < text.size(); ++end) {
    if (text[end] == '.' && !point) {
      point = true;
    } else if (!is_digit(text[end])) {
      break;
    }
  }
  if (end + 2 < text.size() && text[end] == 'E' && (text[end + 1] == '+' || text[end + 1] == '-') && is_digit(text[end + 2])) {
    end += 2;
    while (end < text.size() && is_digit(text[end])) ++end;
  }
  const auto [stop, error] = std::from_chars(text.data() + at, text.data() + end, value);
  if (error != std::errc() || stop != text.data() + end) return false;
  at = end;
  return true;
}

// The digits behind a pseudo-digit, with its own digit and sign in front.
bool parse_rest(std::string_view text, std::size_t& at, int digit, double& value) {
  std::string number = digit < 0 ? "-" : "";
  number += static_cast<char>('0' + (digit < 0 ? -digit : digit));
  while (at < text.size() && (is_digit(text[at]) || text[at] == '.')) number += text[at++];
  std::size_t from = 0;
  return parse(number, from, value) && from == number.size();
}

std::string column_of(std::size_t at) { return " at column " + std::to_string(at + 1); }

}  // namespace

void Ordinates::add(double value) {
  values_.push_back(value);
  ++size_;
  last_ = value;
}

void Ordinates::repeat(double step, std::int64_t times) {
  repeats_.push_back({values_.size(), step, times});
  size_ += times;
  // One addition at a time, as the values are written out.
  if (step != 0) {
    for (std::int64_t i = 0; i < times; ++i) last_ += step;
  }
}

void Ordinates::append(const Ordinates& more, bool skipFirst) {
  const std::size_t skip = skipFirst && !more.values_.empty() ? 1 : 0;
  const std::size_t base = values_.size();
  values_.insert(values_.end(), more.values_.begin() + static_cast<std::ptrdiff_t>(skip), more.values_.end());
  for (const Repeat& r : more.repeats_) repeats_.push_back({base + r.after - skip, r.step, r.times});
  size_ += more.size_ - static_cast<std::int64_t>(skip);
  if (more.size_ > static_cast<std::int64_t>(skip)) last_ = more.last_;
}

std::vector<double> Ordinates::expanded() const {
  std::vector<double> all(static_cast<std::size_t>(size_));
  Reader(*this).take(all.data(), all.size(), 1);
  return all;
}

std::size_t Ordinates::Reader::take(double* out, std::size_t n, double factor) {
  std::size_t made = 0;
  while (made < n) {
    if (left_ > 0) {
      current_ += step_;
      --left_;
    } else if (repeat_ < o_.repeats_.size() && o_.repeats_[repeat_].after == value_) {
      // A repeat follows the value just written (or the repeat before it).
      step_ = o_.repeats_[repeat_].step;
      left_ = o_.repeats_[repeat_].times;
      ++repeat_;
      continue;
    } else if (value_ < o_.values_.size()) {
      current_ = o_.values_[value_++];
    } else {
      break;
    }
    out[made++] = current_ * factor;
  }
  return made;
}

std::string decode_asdf_line(std::string_view text, AsdfLine& line, std::int64_t most) {
  line = {};
  Form last = Form::None;
  double difference = 0;
  const auto add = [&](double value) {
    if (line.ys.size() >= most) return false;
    line.ys.add(value);
    return true;
  };
  // An absolute value: the line's abscissa when it is the first, else the next ordinate.
  const auto absolute = [&](double value) {
    if (line.blank) {
      line.x = value;
    } else if (!add(value)) {
      return false;
    }
    line.blank = false;
    last = Form::Absolute;
    return true;
  };
  const std::string tooMany = "more values than the table holds";
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r') {
      ++at;
      continue;
    }
    if (text.substr(at).starts_with("$$")) break;
    double value = 0;
    const std::size_t start = at;
    if (is_digit(c) || c == '+' || c == '-' || c == '.') {
      // AFFN, or PAC where a sign is the delimiter.
      if (c == '+') ++at;
      if (!parse(text, at, value)) return "a number that cannot be read" + column_of(start);
      if (!absolute(value)) return tooMany;
      continue;
    }
    const Pseudo p = pseudo_digit(c);
    ++at;
    switch (p.form) {
      case Form::None:
        return std::string("a character that is no JCAMP-DX number ('") + c + "')" + column_of(start);
      case Form::Absolute:
        if (!parse_rest(text, at, p.digit, value)) return "a number that cannot be read" + column_of(start);
        if (!absolute(value)) return tooMany;
        break;
      case Form::Difference:
        if (!parse_rest(text, at, p.digit, value)) return "a number that cannot be read" + column_of(start);
        if (line.ys.empty()) return "a difference with no value before it" + column_of(start);
        difference = value;
        if (!add(line.ys.back() + difference)) return tooMany;
        last = Form::Difference;
        break;
      case Form::Duplicate: {
        if (!parse_rest(text, at, p.digit, value) || !(value >= 1 && value <= 1e15) || value != std::floor(value)) {
          return "a repeat count that cannot be read" + column_of(start);
        }
        if (line.ys.empty() || last == Form::Duplicate) return "a repeat count with nothing to repeat" + column_of(start);
        // In the DIF form the difference is repeated, in the others the value.
        const auto times = static_cast<std::int64_t>(value) - 1;
        if (times > most - line.ys.size()) return tooMany;
        if (times > 0) line.ys.repeat(last == Form::Difference ? difference : 0, times);
        line.endsInDif = last == Form::Difference;
        last = Form::Duplicate;
        continue;
      }
    }
  }
  if (last != Form::Duplicate) line.endsInDif = last == Form::Difference;
  return {};
}

void append_sqz(std::string& out, std::int64_t v) { append_pseudo(out, v, kSqz); }
void append_dif(std::string& out, std::int64_t v) { append_pseudo(out, v, kDif); }
void append_dup(std::string& out, std::int64_t count) { append_pseudo(out, count, kDup); }

}  // namespace formats
