// The list of a spectrum's signals that journals print.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/analysis.hpp"
#include "processing/spectrum.hpp"

namespace analysis {

// As journals print it, with its line end:
//   1H NMR (400 MHz, CDCl3) δ 8.11 (dd, J = 7.9, 1.7 Hz, 1H), 7.40 – 7.28 (m, 5H), 2.35 (s, 3H).
//   13C NMR (101 MHz, CDCl3) δ 170.2, 150.9, 21.0.
// From high δ to low; δ with two decimals for 1H (a multiplet "m" as its range, high – low,
// with an en dash), one for other nuclei (two for lines within 0.1 ppm of another); J in Hz with one decimal, largest first; the
// frequency in whole MHz; the solvent as acqus names it (left out when it names none). A
// spectrum without a ppm axis, or without a signal, says so; one that no reference set
// says so on a line of its own ("Not referenced: no TMS or CDCl3 line found; the shifts
// stand on the spectrometer's axis.").
std::string report_of(const processing::Spectrum& spectrum, const Analysis& analysis);

// That text, with where each multiplet stands in it (bytes [begin, end) of
// "8.11 (dd, J = 7.9, 1.7 Hz, 1H)"), in the order of analysis.multiplets; none for other nuclei.
struct Report {
  struct Span {
    std::size_t begin = 0, end = 0;
  };
  std::string text;
  std::vector<Span> multiplets;
};
Report report(const processing::Spectrum& spectrum, const Analysis& analysis);

// The report's text as HTML that a word processor pastes formatted, as journals print it:
// the nucleus's mass number raised ("<sup>1</sup>H NMR"), J in italics, each line a
// paragraph; every character that HTML would read otherwise escaped.
std::string report_html(const std::string& text);

// One multiplet as the report gives it: "8.11 (dd, J = 7.9, 1.7 Hz, 1H)"; and its parts:
// where it lies ("8.11", or "7.40 – 7.28" for an "m") and its couplings ("J = 7.9, 1.7 Hz";
// empty for none).
std::string multiplet_text(const Multiplet& multiplet);
// Its mark's label, short enough to stand beside its lines: "3.69 q 2H" (its centre, even
// for an "m"), with two decimals on a ppm axis and one on a Hz axis.
std::string mark_text(const Multiplet& multiplet, bool ppm);
std::string shift_text(const Multiplet& multiplet);
std::string couplings_text(const Multiplet& multiplet);

}  // namespace analysis
