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

 private:
  platform::BinaryFile& file_;
};

// A JCAMP-DX parameter file that says how to read those points and what they were
// acquired with: BYTORDA 0 and DTYPA 2, SW_h, SFO1, BF1, O1, NUC1 and TD.
std::string converted_acqus(const formats::Description& description);

}  // namespace intake
