// Couplings come in pairs.
#include "analysis/partners.hpp"

#include <algorithm>
#include <cmath>


namespace analysis {
namespace {

constexpr double kPartnerWithinHz = 0.5;
constexpr double kLargestMethylCouplingHz = 8.5;  // vicinal and long range, to protons
constexpr int kMethyl = 3;

bool has_partner(const std::vector<Multiplet>& ms, const Multiplet& self, double j) {
  return std::any_of(ms.begin(), ms.end(), [&](const Multiplet& m) {
    return &m != &self && std::any_of(m.couplings.begin(), m.couplings.end(), [&](double c) { return std::fabs(c - j) <= kPartnerWithinHz; });
  });
}

// The multiplet's coupling that has no partner and cannot be a methyl's, if any.
std::optional<std::size_t> lone_coupling(const std::vector<Multiplet>& ms, const Multiplet& m) {
  if (m.protons < kMethyl || (m.pattern != "d" && m.pattern != "dd")) return std::nullopt;
  for (std::size_t k = 0; k < m.couplings.size(); ++k) {  // largest first
    const double j = m.couplings[k];
    if (j > kLargestMethylCouplingHz && !has_partner(ms, m, j)) return k;
  }
  return std::nullopt;
}

// One half of m: its couplings but the k-th, its centre moved by direction times half of it.
Multiplet half_of(const Multiplet& m, std::size_t k, int direction, const processing::Spectrum& s) {
  Multiplet h = m;
  const double hzPerAxis = s.in_ppm() ? s.frequencyMHz : 1;
  const double move = direction * m.couplings[k] / 2 / hzPerAxis;
  h.couplings.erase(h.couplings.begin() + static_cast<std::ptrdiff_t>(k));
  h.pattern = std::string(h.couplings.empty() ? "s" : "d");
  h.shift += move;
  const double half = m.couplings[k] / 2 / hzPerAxis;
  if (direction > 0) {
    h.low += 2 * half;
  } else {
    h.high -= 2 * half;
  }
  const auto at = [&](double axis) { return static_cast<std::size_t>(std::clamp(s.index_of(axis), 0.0, static_cast<double>(s.points.size()))); };
  h.from = std::max(m.from, std::min(m.to, at(h.high) - (at(m.high) - m.from)));
  h.to = std::min(m.to, at(h.low) + (m.to - at(m.low)));
  h.integral = m.integral / 2;
  return h;
}

}  // namespace

bool partnerless_split(std::vector<Multiplet>& ms, const processing::Spectrum& s) {
  std::vector<Multiplet> out;
  bool split = false;
  for (const Multiplet& m : ms) {
    if (const auto k = lone_coupling(ms, m)) {
      out.push_back(half_of(m, *k, +1, s));
      out.push_back(half_of(m, *k, -1, s));
      split = true;
    } else {
      out.push_back(m);
    }
  }
  ms = std::move(out);
  return split;
}

}  // namespace analysis
