// What the acqus of a dataset converted from another maker's file says beyond Bruker's own
// parameters.
#pragma once

namespace common {

// "##$FIDSONG_SCALE= 2^k": the points of the scratch FID are the maker's times 2^k.
inline constexpr const char* kScaleParameter = "FIDSONG_SCALE";

// "##$FIDSONG_SF= MHz": the frequency the operator calibrated as 0 ppm, as the maker's
// file records it (a JCAMP-DX export's shift reference), where a Bruker dataset keeps it
// in its procs (SF).
inline constexpr const char* kOperatorReferenceParameter = "FIDSONG_SF";

// "##$FIDSONG_LEADIN= n": the scratch FID begins with n complex points of zeros, as a
// Bruker FID begins with its filter's lead-in, so that its sound begins at its first point.
inline constexpr const char* kLeadInParameter = "FIDSONG_LEADIN";

// "##$FIDSONG_TURN= k": the points that follow were turned by i^k (k from 0 to 3), so that
// the stronger channel is the sounded word of each pair.
inline constexpr const char* kTurnParameter = "FIDSONG_TURN";

}  // namespace common
