// The list of a spectrum's signals that journals print.
#include "processing/report.hpp"

#include <cmath>

#include "platform/text.hpp"

namespace processing {
namespace {

std::string heading(const Spectrum& s) {
  std::string text = (s.nucleus.empty() ? std::string() : s.nucleus + " ") + "NMR (";
  if (s.in_ppm()) text += std::to_string(std::lround(s.frequencyMHz)) + " MHz";
  if (!s.solvent.empty()) text += std::string(s.in_ppm() ? ", " : "") + s.solvent;
  return text + ")";
}

}  // namespace

std::string multiplet_text(const Multiplet& m) {
  std::string text = m.pattern == "m" ? platform::fixed_text(m.high, 2) + " \u2013 " + platform::fixed_text(m.low, 2)
                                      : platform::fixed_text(m.shift, 2);
  text += " (" + m.pattern;
  if (!m.couplings.empty()) {
    text += ", J = ";
    for (std::size_t k = 0; k < m.couplings.size(); ++k) text += (k ? ", " : "") + platform::fixed_text(m.couplings[k], 1);
    text += " Hz";
  }
  return text + ", " + std::to_string(m.protons) + "H)";
}

std::string report_of(const Spectrum& s, const Analysis& a) {
  if (!s.in_ppm()) return heading(s) + ": no ppm axis (its parameters give no SW_h, O1 and BF1).\n";
  std::string items;
  if (s.nucleus == "1H") {
    for (const Multiplet& m : a.multiplets) items += (items.empty() ? "" : ", ") + multiplet_text(m);
  } else {
    for (const double shift : a.lines) items += (items.empty() ? "" : ", ") + platform::fixed_text(shift, 1);
  }
  if (items.empty()) return heading(s) + ": no signal above the noise.\n";
  return heading(s) + " \u03b4 " + items + ".\n";
}

}  // namespace processing
