// The delay of a digital filter.
#include "processing/group_delay.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "bruker/parameters.hpp"

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

double group_delay(std::string_view acqus, std::span<const std::complex<double>> fid) {
  if (const auto given = bruker::real_parameter(acqus, "GRPDLY"); given && *given >= 0) return *given;
  if (const double delay = tabled(acqus); delay >= 0) return delay;
  return rise(fid);
}

}  // namespace processing
