// A known compound's line found by its pattern: TMS's singlet, the residual line of a
// deuterated solvent with its coupling to deuterium.
#pragma once

#include <span>
#include <vector>

#include "processing/spectrum.hpp"

namespace processing {

// Lines about a centre: their offsets in Hz and their shares.
struct LinePattern {
  std::vector<double> offsetsHz;
  std::vector<double> weights;
};

// The pattern of a line coupled by couplingHz to this many deuterons (spin 1, each
// splitting a line in three of equal height): a singlet for none, 1:1:1 for one,
// 1:2:3:2:1 for two, 1:3:6:7:6:3:1 for three.
LinePattern deuterium_pattern(int deuterons, double couplingHz);

// One of the spectrum's lines taken as the pattern's centre, and how well the pattern
// fits there.
struct PatternMatch {
  double index = 0;        // the centre, between points
  double correlation = 0;  // of the spectrum around it with Lorentzian lines at the pattern's places, 0 to 1
  double widthHz = 0;      // the lines' full width at half height that fitted best
  double height = 0;       // the centre line's height
};

// Each of the spectrum's lines between points from and to, at least least high, taken
// as the pattern's centre: its correlation with the pattern of Lorentzian lines (their
// width from 0.8 to 1.2 times typicalWidthHz for a singlet, 0.7 to 1.4 for a multiplet,
// the coupling within 10 % of the pattern's, the centre within half a width of the line's
// top, whichever match best) where the pattern
// stands above a fiftieth of its tallest: lines beside it do not count, lines under it
// and a shape of another width do. By falling frequency.
std::vector<PatternMatch> pattern_matches(const Spectrum& spectrum, const LinePattern& pattern, double from, double to,
                                          double least, double typicalWidthHz);

// Whether the line has a partner, resolved from it and at most 20 Hz away: a line of
// about its height (within a
// factor of 1.6) that has no partner more like it, or two lines alike (within 1.3) on
// either side of it, each at least a fifth of its height; for then it is a line of a
// multiplet, not a singlet.
bool has_partner(const Spectrum& spectrum, const PatternMatch& line, double least);

// The full width at half height (Hz) of the typical line of points spaced hzPerPoint apart:
// the median of the lines standing at least least high and a twentieth of the tallest point.
double typical_width_hz(std::span<const double> points, double hzPerPoint, double least);

}  // namespace processing
