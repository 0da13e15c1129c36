// A dataset of another maker, written into the scratch folder as the Bruker dataset the
// rest of the program reads: its points as doubles, its parameters as an acqus.
#pragma once

#include <cstddef>
#include <string>

#include "formats/dataset.hpp"
#include "platform/binary_file.hpp"
#include "sound/sample_synthesis.hpp"

namespace intake {

// The points into a file, as little-endian IEEE-754 doubles: real, imaginary, real, ...;
// behind a lead-in of zeros as long as the words the sound never sounds (80 words, 40
// points), as a Bruker FID begins with its filter's, so that the sound begins at the
// first point.
class DoublesFile final : public formats::PointSink {
 public:
  static constexpr std::size_t kLeadInPoints = sound::kLeadInWords / 2;
  // The points whose words set the sound's scale, behind the lead-in.
  static constexpr std::size_t kScaledPoints = (sound::kScaleWords - sound::kLeadInWords) / 2;

  explicit DoublesFile(platform::BinaryFile& file);
  void put(const double* pairs, std::size_t count) override;

  // The power of two that brings the largest magnitude put into [2^29, 2^30), where a
  // Bruker console's words lie, so that the sound's scale finds the FID as loud as
  // theirs; 0 when no value but zeros (or none that is finite) was put.
  int loudness_exponent() const;
  // The quarter turn (i^turn, turn 0 or 1) that puts the stronger channel of the points
  // that set the sound's scale in the sounded, second word of each pair.
  int turn() const { return strongestReal_ > strongestImaginary_ ? 1 : 0; }
  // Multiplies every point in the file by 2^exponent and turns it by i^turn, in place:
  // exactly, so that the points stay what the maker's file holds, times a power of two,
  // turned by a quarter.
  void finish(int exponent, int turn);

 private:
  platform::BinaryFile& file_;
  double largest_ = 0;
  std::size_t pointsPut_ = 0;
  double strongestReal_ = 0, strongestImaginary_ = 0;
};

// A JCAMP-DX parameter file that says how to read those points and what they were
// acquired with: BYTORDA 0 and DTYPA 2, SW_h, SFO1, BF1, O1, NUC1, TD (the lead-in's points
// too); the SOLVENT, a Bruker console's GRPDLY, DECIM and DSPFVS, and the operator's 0 ppm
// (FIDSONG_SF) where the file records them; the power of two the points were multiplied
// by (FIDSONG_SCALE, "2^k"), the lead-in's points (FIDSONG_LEADIN) and the quarter turn
// (FIDSONG_TURN).
std::string converted_acqus(const formats::Description& description, int scaleExponent, int turn);

}  // namespace intake
