// The spectrum exported as JCAMP-DX names what set its axis.
#include "intake/exported_spectrum.hpp"

#include <gtest/gtest.h>

namespace {

TEST(ExportedSpectrum, ItsShiftReferenceNamesTheLineThatSetTheAxisOrWhatItStandsOn) {
  processing::Spectrum s;
  s.points = {0, 1, 5, 1, 0};
  s.frequencyMHz = 500.13;
  s.hzPerPoint = 1000;
  s.firstHz = 7.26 * 500.13 + 2000;  // the third point at 7.26 ppm
  s.title = "menthol";
  const struct {
    processing::Referencing referencing;
    formats::ShiftReference expected;
  } cases[] = {
      {{processing::Reference::Solvent, "CHCl3", 7.26, 2, 0.8, {}}, {"INTERNAL", "CHCl3", 3, 7.26}},
      {{processing::Reference::Tms, "TMS", 0, 2, 0.8, {}}, {"INTERNAL", "TMS", 3, 0}},
      {{processing::Reference::Operator, {}, 0, 0, 0, {}}, {"INTERNAL", "OPERATOR", 1, 7.26 + 2000 / 500.13}},
      {{processing::Reference::Carrier, {}, 0, 0, 0, "TMS or CDCl3"}, {"NONE", "BF1", 1, 7.26 + 2000 / 500.13}},
  };
  for (const auto& [referencing, expected] : cases) {
    s.referencing = referencing;
    const formats::ExportedSpectrum e = intake::exported(s);
    ASSERT_TRUE(e.reference);
    EXPECT_EQ(e.reference->kind, expected.kind);
    EXPECT_EQ(e.reference->compound, expected.compound);
    EXPECT_EQ(e.reference->point, expected.point);
    EXPECT_NEAR(e.reference->ppm, expected.ppm, 1e-9) << expected.compound;
    EXPECT_EQ(e.points.size(), 5u);
    EXPECT_DOUBLE_EQ(e.lastHz, s.firstHz - 4000);
  }
  s.frequencyMHz = 0;  // an axis in Hz: no shift to refer to
  EXPECT_FALSE(intake::exported(s).reference);
}

}  // namespace
