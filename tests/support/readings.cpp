// Multiplets as a chemist reads them.
#include "tests/support/readings.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace testsupport {
namespace {

constexpr double kShiftWithin = 0.01, kCouplingWithin = 0.5;

bool holds(const analysis::Multiplet& m, double ppm) {
  return m.pattern == "m" ? ppm <= m.high + 1e-9 && ppm >= m.low - 1e-9 : std::fabs(m.shift - ppm) <= kShiftWithin;
}

std::string described(const analysis::Multiplet& m) {
  std::ostringstream out;
  out << m.shift << " " << m.pattern;
  for (const double j : m.couplings) out << " " << j;
  out << " " << m.protons << "H";
  return out.str();
}

}  // namespace

std::vector<double> spelled_couplings(const std::string& pattern, const std::vector<double>& couplings) {
  static const std::pair<const char*, int> kLetters[] = {{"sept", 6}, {"sext", 5}, {"oct", 7}, {"d", 1}, {"t", 2}, {"q", 3}, {"p", 4}};
  std::vector<double> spelled;
  std::size_t at = 0;
  for (const double j : couplings) {
    for (const auto& [letters, count] : kLetters) {
      if (pattern.compare(at, std::string(letters).size(), letters) == 0) {
        spelled.insert(spelled.end(), static_cast<std::size_t>(count), j);
        at += std::string(letters).size();
        break;
      }
    }
  }
  std::sort(spelled.rbegin(), spelled.rend());
  return spelled;
}

std::vector<std::string> misreadings(const std::vector<analysis::Multiplet>& reported, const std::vector<Reading>& readings) {
  std::vector<std::string> wrong;
  for (const Reading& r : readings) {
    const analysis::Multiplet* entry = nullptr;
    for (const analysis::Multiplet& m : reported) {
      if (holds(m, r.ppm) && (!entry || std::fabs(m.shift - r.ppm) < std::fabs(entry->shift - r.ppm))) entry = &m;
    }
    std::ostringstream why;
    why << r.ppm << " " << r.pattern << ": ";
    if (!entry) {
      wrong.push_back(why.str() + "no entry there");
      continue;
    }
    const bool others = std::any_of(readings.begin(), readings.end(), [&](const Reading& o) {
      return &o != &r && holds(*entry, o.ppm) && (entry->pattern == "m" || std::fabs(entry->shift - o.ppm) < std::fabs(entry->shift - r.ppm));
    });
    const std::vector<double> theirs = spelled_couplings(r.pattern, r.couplings);
    const std::vector<double> ours = spelled_couplings(entry->pattern, entry->couplings);
    bool same = theirs.size() == ours.size();
    for (std::size_t k = 0; same && k < ours.size(); ++k) same = std::fabs(ours[k] - theirs[k]) <= kCouplingWithin;
    if (others) wrong.push_back(why.str() + described(*entry) + " holds another multiplet");
    else if (!same) wrong.push_back(why.str() + described(*entry) + " has other couplings");
    else if (entry->protons != r.protons) wrong.push_back(why.str() + described(*entry) + " has other protons");
  }
  return wrong;
}

}  // namespace testsupport
