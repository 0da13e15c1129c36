// The delay of a digital filter.
#include "processing/group_delay.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "bruker/parameters.hpp"
#include "platform/text.hpp"

namespace processing {
namespace {

constexpr int kDecimations[] = {2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96, 128, 192, 256, 384, 512, 768, 1024, 1536, 2048};
// Delays in points by DSPFVS (10, 11, 12) and DECIM, as published for Bruker's DMX
// consoles; 0 where the table has no entry.
constexpr double kDelays[3][std::size(kDecimations)] = {
    {44.7500, 33.5000, 66.6250, 59.0833, 68.5625, 60.3750, 69.5313, 61.0208, 70.0156, 61.3438, 70.2578, 61.5052,
     70.3789, 61.5859, 70.4395, 61.6263, 70.4697, 61.6465, 70.4849, 61.6566, 70.4924},
    {46.0000, 36.5000, 48.0000, 50.1667, 53.2500, 69.5000, 72.2500, 70.1667, 72.7500, 70.5000, 73.0000, 70.6667,
     72.5000, 71.3333, 72.2500, 71.6667, 72.1250, 71.8333, 72.0625, 71.9167, 72.0313},
    {46.311, 36.530, 47.870, 50.229, 53.289, 69.551, 71.600, 70.184, 72.138, 70.528, 72.348, 70.700, 72.524, 0, 0, 0, 0,
     0, 0, 0, 0},
};
constexpr std::size_t kRiseWindow = 512;
constexpr double kMostDelayShare = 0.25;  // of the FID's points: a filter's delay is a few dozen

double tabled(std::string_view acqus) {
  const auto dspfvs = bruker::integer_parameter(acqus, "DSPFVS");
  const auto decim = bruker::integer_parameter(acqus, "DECIM");
  if (!dspfvs || !decim || *dspfvs < 10 || *dspfvs > 12) return -1;
  const auto* column = std::find(std::begin(kDecimations), std::end(kDecimations), *decim);
  if (column == std::end(kDecimations)) return -1;
  const double delay = kDelays[*dspfvs - 10][column - std::begin(kDecimations)];
  return delay > 0 ? delay : -1;
}

double rise(std::span<const std::complex<double>> fid) {
  const std::size_t n = std::min(fid.size(), kRiseWindow);
  double largest = 0;
  for (std::size_t i = 0; i < n; ++i) largest = std::max(largest, std::abs(fid[i]));
  for (std::size_t i = 0; i < n; ++i) {
    if (std::abs(fid[i]) >= largest / 2) return static_cast<double>(i);
  }
  return 0;
}

}  // namespace

GroupDelay group_delay(std::string_view acqus, std::span<const std::complex<double>> fid) {
  const double tabledDelay = tabled(acqus);
  const auto instead = [&] {
    return tabledDelay >= 0 ? GroupDelay{tabledDelay, "the filter's table gives " + platform::decimal_text(tabledDelay)}
                            : GroupDelay{rise(fid), "the FID's rise gives " + platform::decimal_text(rise(fid))};
  };
  if (const auto text = bruker::parameter_text(acqus, "GRPDLY")) {
    const auto given = bruker::real_parameter(acqus, "GRPDLY");
    // -1: the console recorded none.
    if (given && *given >= 0 && *given <= static_cast<double>(fid.size()) * kMostDelayShare) return {*given, {}};
    if (!given || *given != -1) {
      const std::string what = !given || !std::isfinite(*given) ? "is no number"
                               : *given < 0                      ? "is no delay"
                                                                 : "is beyond the FID";
      GroupDelay taken = instead();
      taken.note = "its GRPDLY " + std::string(*text) + " " + what + ": " + taken.note;
      return taken;
    }
  }
  if (tabledDelay >= 0) return {tabledDelay, {}};
  // DSPFVS from 10 on names a digital filter: one whose DECIM the table does not know.
  const auto dspfvs = bruker::integer_parameter(acqus, "DSPFVS");
  const auto decim = bruker::integer_parameter(acqus, "DECIM");
  if (dspfvs && *dspfvs >= 10 && decim) {
    GroupDelay taken = instead();
    taken.note = "its DECIM " + std::to_string(*decim) + " and DSPFVS " + std::to_string(*dspfvs) +
                 " are not in the filter's table: " + taken.note;
    return taken;
  }
  return {rise(fid), {}};
}

}  // namespace processing
