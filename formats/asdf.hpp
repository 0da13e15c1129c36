// The number forms of JCAMP-DX tables: AFFN, PAC, and the compressed SQZ, DIF and DUP,
// read and written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// Ordinates as a table's text gives them: each value written, and where a DUP repeats
// one, its count rather than its copies, so that the memory they take follows the text,
// whatever counts it claims. A repeat of a value (SQZ, AFFN) adds nothing to it; a repeat
// of a difference (DIF) adds the difference each time, as the text's own arithmetic does.
class Ordinates {
 public:
  void add(double value);
  // `times` more values after the last one, each the one before plus step; needs a value
  // before it.
  void repeat(double step, std::int64_t times);
  // These ordinates after the ones held; without the first of them when skipFirst.
  void append(const Ordinates& more, bool skipFirst);

  std::int64_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  double front() const { return values_.front(); }
  double back() const { return last_; }
  // Every value, written out: for a table known to be short.
  std::vector<double> expanded() const;

  // Writes the values out in order, a block at a time.
  class Reader {
   public:
    explicit Reader(const Ordinates& ordinates) : o_(ordinates) {}
    // The next values into out, at most n, each times factor; how many (0 at the end).
    std::size_t take(double* out, std::size_t n, double factor);

   private:
    const Ordinates& o_;
    std::size_t value_ = 0, repeat_ = 0;  // the next value written, the next repeat
    std::int64_t left_ = 0;               // of the repeat under way
    double current_ = 0, step_ = 0;
  };

 private:
  struct Repeat {
    std::size_t after;  // the values written before it
    double step;
    std::int64_t times;
  };
  std::vector<double> values_;
  std::vector<Repeat> repeats_;
  std::int64_t size_ = 0;
  double last_ = 0;
};

// One line of a table "(X++(Y..Y))": its abscissa, then its ordinates.
struct AsdfLine {
  bool blank = true;       // nothing but blanks and comments
  double x = 0;
  Ordinates ys;
  bool endsInDif = false;  // its last ordinate came from a difference: the next line
                           // repeats it first, as a check
};

// Decodes text (without its line end) into line; the reason when it is no such line,
// or when it would hold more than most ordinates (a count beyond that is refused before
// anything is made of it); empty when it decoded.
std::string decode_asdf_line(std::string_view text, AsdfLine& line, std::int64_t most);

// Appends v in the SQZ form (a value), the DIF form (a difference) or the DUP form (a
// count): its sign and first digit as one pseudo-digit, the rest of its digits as they are.
void append_sqz(std::string& out, std::int64_t v);
void append_dif(std::string& out, std::int64_t v);
void append_dup(std::string& out, std::int64_t count);

// Appends the table "(X++(Y..Y))" of n integers, y(i) the ith, in the DIFDUP form: each line
// the X of its first value (firstX + i * deltaX, four decimals), that value in SQZ form, the
// rest as differences, runs of equal differences as DUP counts; a line breaks before it
// would pass 80 characters, and the next one repeats its last value, as the DIF form's
// check. y is asked for each value where the table needs it.
template <typename Y>
void append_difdup_table(std::string& table, std::size_t n, Y&& y, double firstX, double deltaX);

}  // namespace formats

#include "platform/text.hpp"

namespace formats {

template <typename Y>
void append_difdup_table(std::string& table, std::size_t n, Y&& y, double firstX, double deltaX) {
  constexpr std::size_t kLineLength = 80;
  table.reserve(table.size() + n * 4);  // a difference of a few digits for most points
  std::string line, item;
  std::size_t i = 0;
  while (i < n) {
    line = platform::fixed_text(firstX + static_cast<double>(i) * deltaX, 4);
    append_sqz(line, y(i));
    std::size_t next = i + 1;
    while (next < n) {
      const std::int64_t d = y(next) - y(next - 1);
      std::size_t run = 1;
      while (next + run < n && y(next + run) - y(next + run - 1) == d) ++run;
      item.clear();
      append_dif(item, d);
      if (run > 1) append_dup(item, static_cast<std::int64_t>(run));
      if (line.size() + item.size() > kLineLength) break;
      line += item;
      next += run;
    }
    table += line;
    table += '\n';
    // The next line starts with the last value of this one, as its check; the last line
    // stands alone.
    i = next < n ? next - 1 : next;
  }
}

}  // namespace formats
