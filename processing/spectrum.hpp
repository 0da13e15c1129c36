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
  Operator,  // the dataset's own processing parameters (procs: SF), or its processed spectrum
  Tms,       // a sharp singlet within 0.1 ppm of 0, set to 0.00
  Solvent,   // the residual line of the solvent that acqus names, set to its shift
  Carrier,   // the spectrometer's base frequency (BF1), as acquired
};

struct Spectrum {
  Intensities points;          // intensities from the highest frequency (the left) down
  double firstHz = 0;          // the first point's frequency above 0 ppm (above the carrier without one)
  double hzPerPoint = 1;       // from one point to the next, downwards
  double frequencyMHz = 0;     // the frequency of 0 ppm; 0: unknown, the axis is in Hz
  Reference reference = Reference::Carrier;
  std::string nucleus;         // "1H"; empty when unknown
  std::string solvent;         // as acqus names it ("CDCl3"); empty when unknown
  std::string title;           // the first line of the dataset's title
  double noise = 0;            // the standard deviation of its points free of signal
  // The intensities times this are the maker's own values (a converted FID was scaled by
  // a power of two to sound as loud as a Bruker one).
  double originalScale = 1;

  bool in_ppm() const { return frequencyMHz > 0; }
  double hz_at(double index) const { return firstHz - index * hzPerPoint; }
  // The axis value (ppm, or Hz without a frequency) at a point, and back.
  double axis_at(double index) const { return in_ppm() ? hz_at(index) / frequencyMHz : hz_at(index); }
  double index_of(double axisValue) const {
    return (firstHz - (in_ppm() ? axisValue * frequencyMHz : axisValue)) / hzPerPoint;
  }
};

}  // namespace processing
