// libFuzzer target: the JCAMP-DX reader on any bytes.
#include "formats/jcamp_dx.hpp"
#include "fuzz/fuzzed_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  formats::Source source(fuzzing::files(), fuzzing::fuzzed_file(data, size, "data.jdx"));
  fuzzing::Nowhere points;
  formats::read_jcamp_dx(source, points);
  return 0;
}
