// A processed spectrum written as JCAMP-DX 5.01.
#include "formats/jcamp_dx_writer.hpp"

#include <algorithm>
#include <cmath>

#include "formats/asdf.hpp"
#include "platform/text.hpp"

namespace formats {
namespace {

constexpr double kLargestY = 1073741824;  // 2^30: the integers stay well within 32 bits

std::string nucleus_label(const std::string& nucleus) { return nucleus.empty() ? "" : "^" + nucleus; }

}  // namespace

std::string jcamp_spectrum(const ExportedSpectrum& s) {
  const std::size_t n = s.points.size();
  double largest = 0;
  for (const double v : s.points) largest = std::max(largest, std::fabs(v) * s.scale);
  const double factor = largest > 0 ? largest / kLargestY : 1;
  // Worked out where the table needs them: an array of them would cost more to touch
  // than to fill.
  const auto y = [&](std::size_t i) { return static_cast<std::int64_t>(std::llround(s.points[i] * s.scale / factor)); };
  const auto number = [](double v) { return platform::decimal_text(v); };
  std::string text = "##TITLE= " + (s.title.empty() ? std::string("spectrum") : s.title) + "\n";
  text += "##JCAMP-DX= 5.01 $$ FID-Song\n##DATA TYPE= NMR SPECTRUM\n##DATA CLASS= XYDATA\n##ORIGIN= FID-Song\n##OWNER=\n";
  text += "##.OBSERVE FREQUENCY= " + number(s.observeMHz) + "\n";
  text += "##.OBSERVE NUCLEUS= " + nucleus_label(s.nucleus) + "\n";
  if (const auto& r = s.reference) {
    text += "##.SHIFT REFERENCE= " + r->kind + ", " + r->compound + ", " + std::to_string(r->point) + ", " + number(r->ppm) + "\n";
  }
  text += "##.SOLVENT NAME= " + s.solvent + "\n";
  text += "##XUNITS= HZ\n##YUNITS= ARBITRARY UNITS\n##XFACTOR= 1\n##YFACTOR= " + number(factor) + "\n";
  text += "##FIRSTX= " + number(s.firstHz) + "\n##LASTX= " + number(s.lastHz) + "\n";
  text += "##NPOINTS= " + std::to_string(n) + "\n##FIRSTY= " + number(static_cast<double>(n ? y(0) : 0) * factor) + "\n";
  text += "##XYDATA= (X++(Y..Y))\n";
  append_difdup_table(text, n, y, s.firstHz, n > 1 ? (s.lastHz - s.firstHz) / static_cast<double>(n - 1) : 0);
  text += "##END=\n";
  return text;
}

}  // namespace formats
