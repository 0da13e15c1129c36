// A dataset of another maker, written into the scratch folder as the Bruker dataset the
// rest of the program reads: its points as doubles, its parameters as an acqus.
#pragma once

#include <cstddef>
#include <string>

#include "formats/dataset.hpp"
#include "platform/binary_file.hpp"

namespace intake {

// The points into a file, as little-endian IEEE-754 doubles: real, imaginary, real, ...
class DoublesFile final : public formats::PointSink {
 public:
  explicit DoublesFile(platform::BinaryFile& file) : file_(file) {}
  void put(const double* pairs, std::size_t count) override;

  // The power of two that brings the largest magnitude put into [2^29, 2^30), where a
  // Bruker console's words lie, so that the sound's scale finds the FID as loud as
  // theirs; 0 when no value but zeros (or none that is finite) was put.
  int loudness_exponent() const;
  // Multiplies every value in the file by 2^exponent, in place: exactly, so that the
  // points stay what the maker's file holds, times a power of two.
  void scale(int exponent);

 private:
  platform::BinaryFile& file_;
  double largest_ = 0;
};

// A JCAMP-DX parameter file that says how to read those points and what they were
// acquired with: BYTORDA 0 and DTYPA 2, SW_h, SFO1, BF1, O1, NUC1, TD; the SOLVENT, a Bruker
// console's GRPDLY, DECIM and DSPFVS, and the operator's 0 ppm (FIDSONG_SF) where the
// file records them; and the power of two the points were multiplied by (FIDSONG_SCALE,
// "2^k").
std::string converted_acqus(const formats::Description& description, int scaleExponent);

}  // namespace intake
