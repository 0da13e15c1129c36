// A processed spectrum as JCAMP-DX 5.01.
#include "processing/jcamp_export.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/text.hpp"

namespace processing {
namespace {

constexpr double kLargestY = 1073741824;  // 2^30: the integers stay well within 32 bits
constexpr std::size_t kLineLength = 80;

// A pseudo-digit form of v: its first digit replaced by a letter of the alphabet given
// (positive, negative), the rest as they are.
std::string pseudo(std::int64_t v, const char* positive, const char* negative, char zero) {
  if (v == 0) return std::string(1, zero);
  const std::string digits = std::to_string(v < 0 ? -v : v);
  const int first = digits[0] - '0';
  return std::string(1, v < 0 ? negative[first - 1] : positive[first - 1]) + digits.substr(1);
}
std::string sqz(std::int64_t v) { return pseudo(v, "ABCDEFGHI", "abcdefghi", '@'); }
std::string dif(std::int64_t v) { return pseudo(v, "JKLMNOPQR", "jklmnopqr", '%'); }
std::string dup(std::int64_t count) { return pseudo(count, "STUVWXYZs", "STUVWXYZs", '?'); }

std::string nucleus_label(const std::string& nucleus) { return nucleus.empty() ? "" : "^" + nucleus; }

// The table: each line the X of its first value, that value in SQZ form, the rest as
// differences, runs of equal differences as DUP counts. A line breaks before it would
// pass kLineLength; the next repeats its last value.
std::string xydata(const std::vector<std::int64_t>& y, double firstX, double deltaX) {
  std::string table;
  std::size_t i = 0;
  while (i < y.size()) {
    std::string line = platform::fixed_text(firstX + static_cast<double>(i) * deltaX, 4) + sqz(y[i]);
    std::size_t next = i + 1;
    while (next < y.size()) {
      const std::int64_t d = y[next] - y[next - 1];
      std::size_t run = 1;
      while (next + run < y.size() && y[next + run] - y[next + run - 1] == d) ++run;
      const std::string item = dif(d) + (run > 1 ? dup(static_cast<std::int64_t>(run)) : "");
      if (line.size() + item.size() > kLineLength) break;
      line += item;
      next += run;
    }
    table += line + "\n";
    // The next line starts with the last value of this one, as its check; the last line
    // stands alone.
    i = next < y.size() ? next - 1 : next;
  }
  return table;
}

}  // namespace

std::string jcamp_spectrum(const Spectrum& s) {
  const std::size_t n = s.points.size();
  double largest = 0;
  for (const double v : s.points) largest = std::max(largest, std::fabs(v) * s.originalScale);
  const double factor = largest > 0 ? largest / kLargestY : 1;
  std::vector<std::int64_t> y(n);
  for (std::size_t i = 0; i < n; ++i) y[i] = std::llround(s.points[i] * s.originalScale / factor);
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
  text += "##NPOINTS= " + std::to_string(n) + "\n##FIRSTY= " + number(static_cast<double>(n ? y[0] : 0) * factor) + "\n";
  text += "##XYDATA= (X++(Y..Y))\n" + xydata(y, s.firstHz, n > 1 ? (lastHz - s.firstHz) / static_cast<double>(n - 1) : 0);
  text += "##END=\n";
  return text;
}

}  // namespace processing
