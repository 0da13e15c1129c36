// Where 0 ppm lies.
#include "processing/referencing.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/solvents.hpp"
#include "platform/text.hpp"
#include "processing/lines.hpp"
#include "processing/reference_lines.hpp"

namespace processing {
namespace {

constexpr double kLineSigmas = 10;      // a reference line stands this far above the noise
constexpr double kBenchtopMHz = 150;    // a proton frequency at or below it: a benchtop magnet
constexpr double kCarbonToProton = 3.9767;  // the ratio of the two nuclei's frequencies
constexpr double kTmsNearZeroPpm = 0.1;     // TMS on the base frequency's axis of a locked magnet
constexpr double kLeastMatch = 0.8;         // the correlation a reference line's pattern reaches at least
constexpr double kSharpness = 2;            // TMS is no wider than twice the typical line
constexpr double kWaterReachPpm = 0.2;      // water moves with temperature and concentration
constexpr double kWaterBonus = 1.25;
constexpr double kLeastSingletShare = 0.03; // of the tallest point: a singlet's line is no speck
constexpr double kCorrelationPower = 4;     // how sharply a worse match loses
constexpr double kHeightPower = 0.25;       // and a smaller line

struct Search {
  double reachPpm = 0;      // how far from its place the line may lie
  double spreadPpm = 0;     // how far it usually lies: a locked magnet's axis is close, an unlocked one's anywhere
  double agreementPpm = 0;  // how far TMS may lie from where the solvent's line puts 0
};

Search search_for(const Spectrum& s) {
  const bool carbon = s.nucleus == "13C";
  const double protonMHz = s.frequencyMHz * (carbon ? kCarbonToProton : 1);
  const bool benchtop = protonMHz <= kBenchtopMHz;
  if (carbon) return benchtop ? Search{4.0, 4.0, 0.5} : Search{2.0, 1.0, 0.5};
  return benchtop ? Search{2.5, 2.5, 0.05} : Search{0.2, 0.05, 0.05};
}

// Moves the axis so that the point at index reads ppm.
void set_shift(Spectrum& s, double index, double ppm) { s.firstHz += ppm * s.frequencyMHz - s.hz_at(index); }

double index_range_start(const Spectrum& s, double ppm, double reach) { return s.index_of(ppm + reach); }
double index_range_end(const Spectrum& s, double ppm, double reach) { return s.index_of(ppm - reach); }

// The best match of the residual line's pattern near its place, or none that matches well
// enough: by correlation, nearness and height, the water's line where it belongs a bonus.
std::optional<PatternMatch> solvent_line(const Spectrum& s, const common::Solvent& solvent, const common::ResidualLine& r,
                                         const Search& search, double least, double width) {
  const LinePattern pattern = deuterium_pattern(r.deuterons, r.couplingHz);
  const std::vector<PatternMatch> found =
      pattern_matches(s, pattern, index_range_start(s, r.ppm, search.reachPpm), index_range_end(s, r.ppm, search.reachPpm), least, width);
  double tallest = 0;
  for (const PatternMatch& m : found) tallest = std::max(tallest, m.height);
  const double spread = search.spreadPpm;
  // A singlet has nothing but its shape and height to tell it from a speck of an impurity
  // or a line of the sample: it must stand out and stand alone.
  const double tallestPoint = *std::max_element(s.points.begin(), s.points.end());
  std::optional<PatternMatch> best;
  double bestScore = 0;
  for (const PatternMatch& m : found) {
    if (m.correlation < kLeastMatch) continue;
    if (r.deuterons == 0 && (m.height < kLeastSingletShare * tallestPoint || has_partner(s, m, least))) continue;
    const double offset = s.axis_at(m.index) - r.ppm;
    double score = std::pow(m.correlation, kCorrelationPower) * std::exp(-0.5 * (offset / spread) * (offset / spread)) *
                   std::pow(m.height / tallest, kHeightPower);
    if (s.nucleus == "1H" && solvent.waterPpm != r.ppm) {
      const double water = solvent.waterPpm + offset;
      if (!lines_in(s.points, static_cast<std::size_t>(std::max(0.0, index_range_start(s, water, kWaterReachPpm))),
                    static_cast<std::size_t>(std::max(0.0, index_range_end(s, water, kWaterReachPpm))), least)
               .empty()) {
        score *= kWaterBonus;
      }
    }
    if (score > bestScore) bestScore = score, best = m;
  }
  return best;
}

// TMS's singlet: sharp, matching a singlet, alone, the tallest such within reach of where
// 0 is expected.
std::optional<PatternMatch> tms_line(const Spectrum& s, double zeroAt, double reach, double least, double width) {
  const LinePattern singlet = deuterium_pattern(0, 0);
  std::optional<PatternMatch> best;
  for (const PatternMatch& m : pattern_matches(s, singlet, index_range_start(s, zeroAt, reach), index_range_end(s, zeroAt, reach), least, width)) {
    if (m.correlation < kLeastMatch || m.widthHz > kSharpness * width || has_partner(s, m, least)) continue;
    if (!best || m.height > best->height) best = m;
  }
  return best;
}

const common::ResidualLine* residual_line(const Spectrum& s, const common::Solvent* solvent) {
  if (!solvent) return nullptr;
  const common::ResidualLine* r = s.nucleus == "1H" ? &solvent->proton : s.nucleus == "13C" ? &solvent->carbon : nullptr;
  return r && r->ppm != 0 ? r : nullptr;
}

}  // namespace

void reference(Spectrum& s, std::optional<double> operatorMHz, double noise) {
  if (!s.in_ppm()) return;
  if (operatorMHz && *operatorMHz > 0) {
    // The same points, counted from the operator's 0 ppm instead of the base frequency.
    s.firstHz += (s.frequencyMHz - *operatorMHz) * 1e6;
    s.frequencyMHz = *operatorMHz;
    s.referencing = {Reference::Operator, {}, 0, 0, 0, {}};
    return;
  }
  const common::Solvent* solvent = common::solvent_named(s.solvent);
  const common::ResidualLine* residual = residual_line(s, solvent);
  s.referencing = {Reference::Carrier, {}, 0, 0, 0, {}};
  if (s.nucleus != "1H" && s.nucleus != "13C") return;
  s.referencing.sought = residual ? "TMS or " + std::string(solvent->name) : "TMS";
  const double least = kLineSigmas * noise;
  const double width = typical_width_hz(s.points, s.hzPerPoint, least);
  const Search search = search_for(s);
  std::optional<PatternMatch> line = residual ? solvent_line(s, *solvent, *residual, search, least, width) : std::nullopt;
  // TMS where the solvent's line puts 0; else where a locked magnet puts it, and then, if
  // the two disagree, the line nearer its own place is believed.
  std::optional<PatternMatch> tms;
  if (line) tms = tms_line(s, s.axis_at(line->index) - residual->ppm, search.agreementPpm, least, width);
  if (!tms && search.spreadPpm < search.reachPpm) {
    tms = tms_line(s, 0, kTmsNearZeroPpm, least, width);
    if (tms && line && std::fabs(s.axis_at(tms->index)) > std::fabs(s.axis_at(line->index) - residual->ppm)) tms.reset();
  }
  if (tms) {
    set_shift(s, tms->index, 0);
    s.referencing = {Reference::Tms, "TMS", 0, tms->index, tms->widthHz, {}};
  } else if (line) {
    set_shift(s, line->index, residual->ppm);
    s.referencing = {Reference::Solvent, std::string(residual->compound), residual->ppm, line->index, line->widthHz, {}};
  }
}

std::string solvent_in_title(const std::string& title) {
  std::string word;
  for (std::size_t i = 0; i <= title.size(); ++i) {
    const char c = i < title.size() ? title[i] : ' ';
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '-') {
      word += c;
      continue;
    }
    // A plain "methanol" or "benzene" may be the compound: only names that say they are
    // deuterated count, and the two that chemists write for their deuterated forms.
    const std::string key = common::solvent_key(word);
    const bool deuterated = std::any_of(key.begin(), key.end(), [](char k) { return k >= '0' && k <= '9'; }) ||
                            key == "dmso" || key == "meod" || key == "chloroformd";
    if (const common::Solvent* s = deuterated ? common::solvent_named(word) : nullptr) return std::string(s->name);
    word.clear();
  }
  return {};
}

std::string referencing_text(const Spectrum& s) {
  if (!s.in_ppm()) return {};
  const Referencing& r = s.referencing;
  switch (r.kind) {
    case Reference::Operator:
      return "the operator's calibration";
    case Reference::Tms:
    case Reference::Solvent:
      return "referenced to " + r.compound + " at " + platform::fixed_text(r.ppm, 2) + " ppm";
    case Reference::Carrier:
      break;
  }
  return r.sought.empty() ? "not referenced" : "not referenced: no " + r.sought + " line found";
}

}  // namespace processing
