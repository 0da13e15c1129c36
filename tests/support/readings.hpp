// Multiplets as a chemist reads them (an expert's record, a published report), and whether a
// report gives them so: at the chemist's shift, with the same couplings spelled out, of the
// same protons.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.hpp"

namespace testsupport {

struct Reading {
  double ppm = 0;
  std::string pattern;            // as the chemist wrote it: "dqq", "dddd", "s"
  std::vector<double> couplings;  // one for each letter, in the letters' order
  int protons = 1;
};

// The couplings one by one, largest first, as many as each letter counts: "dqq" with
// 2.70, 7.00, 7.05 is 7.05 x 3, 7.00 x 3, 2.70.
std::vector<double> spelled_couplings(const std::string& pattern, const std::vector<double>& couplings);

// For each reading the report does not give as written, why: its entry lies at the
// reading's shift (within 0.01 ppm) or, an "m", its range holds it; it holds no other
// reading's shift (an "m" over several is right for several); its couplings spelled out
// are the reading's, each within 0.5 Hz; its protons are the reading's.
std::vector<std::string> misreadings(const std::vector<analysis::Multiplet>& reported, const std::vector<Reading>& readings);

}  // namespace testsupport
