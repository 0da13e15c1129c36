// The delay of a digital filter: how many points the FID lags behind its true start.
#pragma once

#include <complex>
#include <span>
#include <string>
#include <string_view>

namespace processing {

// How many points an FID lags, and, where acqus gave a delay that cannot be one, what
// was taken instead.
struct GroupDelay {
  double points = 0;
  std::string note;  // "its GRPDLY 1e9 is beyond the FID: the filter's table gives 67.98"
};

// GRPDLY of acqus when it gives one that can be (a finite number from 0 to a quarter of
// the FID's points); else the delay that DECIM and DSPFVS of an older Bruker console give
// by the published table (Westler and Abildgaard's, for DSPFVS 10 to 12); else, for a
// console that recorded neither (another maker's, say), where the FID first reaches half
// its largest magnitude among its first 512 points: the digital filter's echo rises
// steeply there. 0 for an FID that starts at its largest.
GroupDelay group_delay(std::string_view acqus, std::span<const std::complex<double>> fid);

}  // namespace processing
