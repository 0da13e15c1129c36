// What the acqus of a dataset converted from another maker's file says beyond Bruker's own
// parameters.
#pragma once

namespace common {

// "##$FIDSONG_SCALE= 2^k": the points of the scratch FID are the maker's times 2^k.
inline constexpr const char* kScaleParameter = "FIDSONG_SCALE";

}  // namespace common
