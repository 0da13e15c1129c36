// The spectrum a dataset was taken in with, as JCAMP-DX exports it.
#include "intake/exported_spectrum.hpp"

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
    const char* compound = s.reference == processing::Reference::Tms ? "TMS" : s.solvent.empty() ? "NONE" : s.solvent.c_str();
    e.reference = formats::ShiftReference{"INTERNAL", compound, 1, s.axis_at(0)};
  }
  e.points = {s.points.data(), s.points.size()};
  e.scale = s.originalScale;
  return e;
}

}  // namespace intake
