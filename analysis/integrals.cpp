// Integrals in whole protons.
#include "analysis/integrals.hpp"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

constexpr double kWholeWithin = 0.1;   // integrals this near whole numbers tell the unit
constexpr double kManyProtons = 0.15;  // what each doubling of the protons a multiplet holds costs
constexpr int kMostInSmallest = 8;     // protons the smallest sharp multiplet may hold
constexpr double kMostOnAverage = 4;   // protons a compound's multiplets hold on average, at most
constexpr double kSliver = 0.5;        // of the median integral: a part of a multiplet, not one
constexpr double kHalf = 0.5;          // of a proton: less is a piece of a multiplet
constexpr double kPiecesShare = 0.05;  // of all integrals: pieces that hold more are not left aside

// How far the integrals lie off whole numbers of unit: the root mean square of each one's
// distance from the nearest whole number (at least 1), weighted by the integral, so that
// a sliver of a multiplet moves it little. Pieces under half a unit, which the count
// leaves out, count only where they hold much of the spectrum: else a piece of a line's
// foot would make every unit but its own fraction of a proton seem uneven.
double off_whole(const std::vector<Multiplet>& ms, double unit) {
  double squares = 0, weights = 0, pieces = 0, piecesSquares = 0;
  for (const Multiplet& m : ms) {
    if (m.pattern == "br s") continue;
    const double p = m.integral / unit;
    const double off = p - std::max(1.0, std::round(p));
    if (p < kHalf) {
      pieces += m.integral;
      piecesSquares += m.integral * off * off;
    } else {
      squares += m.integral * off * off;
      weights += m.integral;
    }
  }
  if (pieces > kPiecesShare * (weights + pieces)) squares += piecesSquares, weights += pieces;
  return weights > 0 ? std::sqrt(squares / weights) : 0;
}

// Pieces of less than half a proton whose points overlap (a multiplet the fit took apart
// where another's lines hide some of its own) as one "m": no proton lost to its pieces.
void slivers_joined(std::vector<Multiplet>& ms, double unit) {
  std::vector<Multiplet> kept, slivers;
  for (Multiplet& m : ms) (m.integral < kHalf * unit ? slivers : kept).push_back(std::move(m));
  std::sort(slivers.begin(), slivers.end(), [](const Multiplet& a, const Multiplet& b) { return a.from < b.from; });
  for (std::size_t k = 0; k < slivers.size();) {
    Multiplet joined = slivers[k];
    std::size_t next = k + 1;
    for (; next < slivers.size() && slivers[next].from < joined.to; ++next) {
      const Multiplet& m = slivers[next];
      joined.high = std::max(joined.high, m.high);
      joined.low = std::min(joined.low, m.low);
      joined.to = std::max(joined.to, m.to);
      joined.integral += m.integral;
      joined.tallest = std::max(joined.tallest, m.tallest);
      joined.pattern = std::string("m");
      joined.couplings.clear();
      joined.shift = (joined.high + joined.low) / 2;
    }
    kept.push_back(std::move(joined));
    k = next;
  }
  ms = std::move(kept);
}

// The integral of one proton: of the integrals of the sharp multiplets (not slivers under
// half the median) over 1 to kMostInSmallest, the one that makes them (their pieces of less
// than half of it joined) nearly whole with the fewest protons: each unit judged by how
// far the integrals lie off whole numbers, and by how many protons a multiplet then holds
// on average, which a compound's spectrum keeps small.
double proton_integral(const std::vector<Multiplet>& ms, std::optional<int> protons) {
  double total = 0;
  std::vector<double> sharp;
  for (const Multiplet& m : ms) {
    total += m.integral;
    if (m.pattern != "br s" && m.integral > 0) sharp.push_back(m.integral);
  }
  if (protons && *protons > 0) return total / *protons;
  if (sharp.empty()) return ms.empty() ? 1 : total / static_cast<double>(ms.size());
  std::vector<double> sorted = sharp;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  double best = median, bestScore = 1e300, largestWhole = 0;
  for (const double integral : sharp) {
    if (integral < kSliver * median) continue;
    for (int n = 1; n <= kMostInSmallest; ++n) {
      const double unit = integral / n;
      std::vector<Multiplet> joined = ms;
      slivers_joined(joined, unit);
      const double off = off_whole(joined, unit);
      double held = 0;
      std::size_t counted = 0;
      for (const Multiplet& m : joined) {
        if (m.pattern == "br s") continue;
        held += std::max(1.0, std::round(m.integral / unit));
        ++counted;
      }
      const double mean = held / static_cast<double>(std::max<std::size_t>(1, counted));
      if (off <= kWholeWithin && mean <= kMostOnAverage) largestWhole = std::max(largestWhole, unit);
      const double score = off + kManyProtons * std::log2(std::max(1.0, mean));
      if (score < bestScore) bestScore = score, best = unit;
    }
  }
  // Integrals that are whole for some unit tell it; crowded ones, overlapping, only
  // nearly.
  return largestWhole > 0 ? largestWhole : best;
}

}  // namespace

void count_protons(std::vector<Multiplet>& ms, std::optional<int> protons) {
  const double unit = proton_integral(ms, protons);
  slivers_joined(ms, unit);
  for (Multiplet& m : ms) m.protons = static_cast<int>(std::lround(m.integral / unit));
}

}  // namespace analysis
