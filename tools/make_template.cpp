// make-template: writes the WAVE template installed beside the programs.
//
// usage: make-template FILE
// The standard 16-bit mono PCM header with an empty data chunk: sounds made with it are
// those made without one. Installed, it keeps the programs from leaving an empty template
// of their own in the programs' folder when run by a user who may write there.
#include <iostream>

#include "platform/binary_file.hpp"
#include "sound/wave_container.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make-template FILE\n";
    return 2;
  }
  platform::FailureFlag failures;
  platform::BinaryFile file(argv[1], platform::BinaryFile::Mode::Writing, failures);
  sound::WaveHeaders headers = sound::standard_headers();
  sound::writeheader(file, headers, "FID-Song");
  sound::finishheader(file, headers, 8278, 0);
  file.close();
  if (failures.raised()) {
    std::cerr << "make-template: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
