// A processed spectrum as JCAMP-DX 5.01.
#include "processing/jcamp_export.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/text.hpp"

namespace processing {
namespace {

constexpr double kLargestY = 1073741824;  // 2^30: the integers stay well within 32 bits
constexpr std::size_t kLineLength = 80;

// Appends the pseudo-digit form of v: its first digit replaced by a letter of the
// alphabet given (positive, negative), the rest as they are.
void append_pseudo(std::string& out, std::int64_t v, const char* positive, const char* negative, char zero) {
  if (v == 0) {
    out += zero;
    return;
  }
  char digits[24];
  char* const end = std::to_chars(digits, digits + sizeof digits, v < 0 ? -v : v).ptr;
  const int first = digits[0] - '0';
  out += v < 0 ? negative[first - 1] : positive[first - 1];
  out.append(digits + 1, static_cast<std::size_t>(end - digits - 1));
}
void append_sqz(std::string& out, std::int64_t v) { append_pseudo(out, v, "ABCDEFGHI", "abcdefghi", '@'); }
void append_dif(std::string& out, std::int64_t v) { append_pseudo(out, v, "JKLMNOPQR", "jklmnopqr", '%'); }
void append_dup(std::string& out, std::int64_t count) { append_pseudo(out, count, "STUVWXYZs", "STUVWXYZs", '?'); }

std::string nucleus_label(const std::string& nucleus) { return nucleus.empty() ? "" : "^" + nucleus; }

// Appends the table of n values, y(i) the ith: each line the X of its first value, that
// value in SQZ form, the rest as differences, runs of equal differences as DUP counts. A
// line breaks before it would pass kLineLength; the next repeats its last value.
template <typename Y>
void append_xydata(std::string& table, std::size_t n, Y&& y, double firstX, double deltaX) {
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

}  // namespace

std::string jcamp_spectrum(const Spectrum& s) {
  const std::size_t n = s.points.size();
  double largest = 0;
  for (const double v : s.points) largest = std::max(largest, std::fabs(v) * s.originalScale);
  const double factor = largest > 0 ? largest / kLargestY : 1;
  // Worked out where the table needs them: an array of them would cost more to touch
  // than to fill.
  const auto y = [&](std::size_t i) { return std::llround(s.points[i] * s.originalScale / factor); };
  const double lastHz = s.hz_at(static_cast<double>(n - 1));
  const auto number = [](double v) { return platform::decimal_text(v); };
  std::string text = "##TITLE= " + (s.title.empty() ? std::string("spectrum") : s.title) + "\n";
  text += "##JCAMP-DX= 5.01 $$ FID-Song\n##DATA TYPE= NMR SPECTRUM\n##DATA CLASS= XYDATA\n##ORIGIN= FID-Song\n##OWNER=\n";
  text += "##.OBSERVE FREQUENCY= " + number(s.frequencyMHz) + "\n";
  text += "##.OBSERVE NUCLEUS= " + nucleus_label(s.nucleus) + "\n";
  if (s.in_ppm()) {
    const char* compound = s.reference == Reference::Tms ? "TMS" : s.solvent.empty() ? "NONE" : s.solvent.c_str();
    text += std::string("##.SHIFT REFERENCE= INTERNAL, ") + compound + ", 1, " + number(s.axis_at(0)) + "\n";
  }
  text += "##.SOLVENT NAME= " + s.solvent + "\n";
  text += "##XUNITS= HZ\n##YUNITS= ARBITRARY UNITS\n##XFACTOR= 1\n##YFACTOR= " + number(factor) + "\n";
  text += "##FIRSTX= " + number(s.firstHz) + "\n##LASTX= " + number(lastHz) + "\n";
  text += "##NPOINTS= " + std::to_string(n) + "\n##FIRSTY= " + number(static_cast<double>(n ? y(0) : 0) * factor) + "\n";
  text += "##XYDATA= (X++(Y..Y))\n";
  append_xydata(text, n, y, s.firstHz, n > 1 ? (lastHz - s.firstHz) / static_cast<double>(n - 1) : 0);
  text += "##END=\n";
  return text;
}

}  // namespace processing
