// First-order multiplet patterns: which couplings split a multiplet's lines as observed.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace analysis {

// A multiplet's pattern as a chemist names it.
struct Pattern {
  std::string name;               // "d", "dd", "td", "sept", ...; "m" when none fits
  std::vector<double> couplings;  // J in Hz, one for each letter, largest first
  double centreHz = 0;            // where its lines are centred
  double misfit = 1;              // of the pattern's lines to the observed, 0 (none) to 1
};

// Couplings that split a multiplet: the largest J looked for, the smallest believed, the
// most couplings, and how close two J may lie to be named as one (a "t", not a "dd").
inline constexpr double kLargestCouplingHz = 20;
inline constexpr double kSmallestCouplingHz = 0.5;
inline constexpr int kMostCouplings = 6;
inline constexpr double kEqualCouplingsHz = 0.8;
// The most a pattern may misfit the observed lines and still be named.
inline constexpr double kMostMisfit = 0.25;

// The first-order pattern of a multiplet of two or more lines: hz (rising) and y, the
// spectrum across it; lines, its lines' positions in Hz (rising); halfWidthHz, its lines'
// half width at half height.
//
// Every coupling is the distance from the first line to another, or from another to the
// last (its first component lies there, resolved or not), and the couplings add up to the
// multiplet's width. Each set of such distances whose components lie on the observed lines
// is refined by least squares of the lines' positions on the couplings (components that
// fall on one line averaged), and judged by how well Lorentzian lines of the observed
// width at its components reproduce the spectrum: a misfit of 0 to 1, the residual's norm
// over the spectrum's. Of the sets that fit about as well as the best, the one with the
// fewest different couplings (then the fewest couplings) is named: d, t, q, p, sext, sept
// for 1 to 6 equal couplings, largest first. None fitting within kMostMisfit is "m".
Pattern first_order_pattern(std::span<const double> hz, std::span<const double> y, std::span<const double> lines,
                            double halfWidthHz);

}  // namespace analysis
