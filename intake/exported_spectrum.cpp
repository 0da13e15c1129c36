// The spectrum a dataset was taken in with, as JCAMP-DX exports it.
#include "intake/exported_spectrum.hpp"

#include <cmath>

namespace intake {

formats::ExportedSpectrum exported(const processing::Spectrum& s) {
  formats::ExportedSpectrum e;
  e.title = s.title;
  e.nucleus = s.nucleus;
  e.solvent = s.solvent;
  e.observeMHz = s.frequencyMHz;
  e.firstHz = s.firstHz;
  e.lastHz = s.points.empty() ? s.firstHz : s.hz_at(static_cast<double>(s.points.size() - 1));
  if (s.in_ppm()) {
    // The line that set the axis, where it lies; else the first point's shift, on the
    // operator's axis or on none.
    const processing::Referencing& r = s.referencing;
    switch (r.kind) {
      case processing::Reference::Tms:
      case processing::Reference::Solvent:
        e.reference = formats::ShiftReference{"INTERNAL", r.compound, std::llround(r.index) + 1, r.ppm};
        break;
      case processing::Reference::Operator:
        e.reference = formats::ShiftReference{"INTERNAL", "OPERATOR", 1, s.axis_at(0)};
        break;
      case processing::Reference::Carrier:
        e.reference = formats::ShiftReference{"NONE", "BF1", 1, s.axis_at(0)};
        break;
    }
  }
  e.points = {s.points.data(), s.points.size()};
  e.scale = s.originalScale;
  return e;
}

}  // namespace intake
