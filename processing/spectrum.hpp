// A real, processed spectrum at full resolution, with the axis a chemist reads it on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/large_memory.hpp"

namespace processing {

// A spectrum's intensities, which run to megabytes.
using Intensities = platform::LargeVector<double>;

// Where the spectrum's 0 ppm came from, in the order it is looked for.
enum class Reference {
  Operator,  // the operator's calibration (procs's SF where it differs from BF1)
  Tms,       // TMS's singlet, set to 0.00
  Solvent,   // the residual line of the solvent the dataset names, set to its shift
  Carrier,   // the spectrometer's base frequency (BF1), as acquired: not referenced
};

// What set the axis, as a chemist states it.
struct Referencing {
  Reference kind = Reference::Carrier;
  std::string compound;  // whose line it was: "TMS", "CHCl3", "DMSO-d5"; empty for the others
  double ppm = 0;        // the shift its line was given
  double index = 0;      // where its line's centre lies among the points
  double widthHz = 0;    // its lines' full width at half height, as they matched best
  std::string sought;    // not referenced: what was looked for ("TMS or CDCl3")
};

struct Spectrum {
  Intensities points;          // intensities from the highest frequency (the left) down
  double firstHz = 0;          // the first point's frequency above 0 ppm (above the carrier without one)
  double hzPerPoint = 1;       // from one point to the next, downwards
  double frequencyMHz = 0;     // the frequency of 0 ppm; 0: unknown, the axis is in Hz
  Referencing referencing;
  std::string nucleus;         // "1H"; empty when unknown
  std::string solvent;         // as acqus (else the title) names it ("CDCl3"); empty when unknown
  std::string title;           // the first line of the dataset's title
  double noise = 0;            // the standard deviation of its points free of signal
  // The intensities times this are the maker's own values (a converted FID was scaled by
  // a power of two to sound as loud as a Bruker one).
  double originalScale = 1;
  // What processing took where the dataset gave what cannot be ("its GRPDLY 1e9 is beyond
  // the FID: the filter's table gives 67.98").
  std::vector<std::string> notes;

  bool in_ppm() const { return frequencyMHz > 0; }
  double hz_at(double index) const { return firstHz - index * hzPerPoint; }
  // The axis value (ppm, or Hz without a frequency) at a point, and back.
  double axis_at(double index) const { return in_ppm() ? hz_at(index) / frequencyMHz : hz_at(index); }
  double index_of(double axisValue) const {
    return (firstHz - (in_ppm() ? axisValue * frequencyMHz : axisValue)) / hzPerPoint;
  }
};

}  // namespace processing
