// The list of a spectrum's signals that journals print.
#include "analysis/report.hpp"

#include <cctype>
#include <cmath>

#include "platform/text.hpp"
#include "processing/referencing.hpp"

namespace analysis {
namespace {

constexpr double kCloseLines = 0.1;  // ppm: lines this near are given to two decimals

std::string heading(const processing::Spectrum& s) {
  std::string text = (s.nucleus.empty() ? std::string() : s.nucleus + " ") + "NMR (";
  if (s.in_ppm()) text += std::to_string(std::lround(s.frequencyMHz)) + " MHz";
  if (!s.solvent.empty()) text += std::string(s.in_ppm() ? ", " : "") + s.solvent;
  return text + ")";
}

}  // namespace

std::string shift_text(const Multiplet& m) {
  return m.pattern == "m" ? platform::fixed_text(m.high, 2) + " \u2013 " + platform::fixed_text(m.low, 2)
                          : platform::fixed_text(m.shift, 2);
}

std::string couplings_text(const Multiplet& m) {
  if (m.couplings.empty()) return {};
  std::string text = "J = ";
  for (std::size_t k = 0; k < m.couplings.size(); ++k) text += (k ? ", " : "") + platform::fixed_text(m.couplings[k], 1);
  return text + " Hz";
}

std::string multiplet_text(const Multiplet& m) {
  const std::string couplings = couplings_text(m);
  return shift_text(m) + " (" + m.pattern + (couplings.empty() ? "" : ", " + couplings) + ", " + std::to_string(m.protons) + "H)";
}

std::string mark_text(const Multiplet& m, bool ppm) {
  return platform::fixed_text(m.shift, ppm ? 2 : 1) + " " + m.pattern + " " + std::to_string(m.protons) + "H";
}

std::string report_of(const processing::Spectrum& s, const Analysis& a) { return report(s, a).text; }

Report report(const processing::Spectrum& s, const Analysis& a) {
  if (!s.in_ppm()) return {heading(s) + ": no ppm axis (its parameters give no SW_h, O1 and BF1).\n", {}};
  const std::string opening = heading(s) + " \u03b4 ";
  std::string items;
  std::vector<Report::Span> spans;
  if (s.nucleus == "1H") {
    for (const Multiplet& m : a.multiplets) {
      if (!items.empty()) items += ", ";
      const std::size_t begin = opening.size() + items.size();
      items += multiplet_text(m);
      spans.push_back({begin, opening.size() + items.size()});
    }
  } else {
    // One decimal, two where a line lies within 0.1 ppm of another: so that both read apart;
    // lines that still read alike (a multiplet's, unresolved at that precision) once.
    std::string last;
    for (std::size_t k = 0; k < a.lines.size(); ++k) {
      const bool near = (k > 0 && a.lines[k - 1] - a.lines[k] < kCloseLines) ||
                        (k + 1 < a.lines.size() && a.lines[k] - a.lines[k + 1] < kCloseLines);
      const std::string text = platform::fixed_text(a.lines[k], near ? 2 : 1);
      if (text != last) items += (items.empty() ? "" : ", ") + text;
      last = text;
    }
  }
  if (items.empty()) return {heading(s) + ": no signal above the noise.\n", {}};
  Report report{opening + items + ".\n", std::move(spans)};
  // Shifts that no reference set are the spectrometer's own: a reader must know.
  if (s.referencing.kind == processing::Reference::Carrier) {
    std::string why = processing::referencing_text(s);
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    report.text += why + "; the shifts stand on the spectrometer's axis.\n";
  }
  return report;
}

std::string report_html(const std::string& text) {
  std::string html;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == lineStart) {
      html += "<p>";
      // A line that opens with a nucleus ("13C NMR"): its mass number raised.
      std::size_t digits = i;
      while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
      if (digits > i && digits < text.size() && std::isupper(static_cast<unsigned char>(text[digits]))) {
        html += "<sup>" + text.substr(i, digits - i) + "</sup>";
        i = digits;
      }
    }
    const char c = text[i];
    if (c == '\n') {
      html += "</p>\n";
      lineStart = i + 1;
    } else if (c == 'J' && text.compare(i, 4, "J = ") == 0) {
      html += "<i>J</i>";
    } else if (c == '&') {
      html += "&amp;";
    } else if (c == '<') {
      html += "&lt;";
    } else if (c == '>') {
      html += "&gt;";
    } else if (c == '"') {
      html += "&quot;";
    } else {
      html += c;
    }
  }
  if (lineStart < text.size()) html += "</p>\n";
  return html;
}

}  // namespace analysis
