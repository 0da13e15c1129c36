// libFuzzer target: the JEOL Delta reader on any bytes.
#include "formats/jeol_delta.hpp"
#include "fuzz/fuzzed_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  formats::Source source(fuzzing::files(), fuzzing::fuzzed_file(data, size, "data.jdf"));
  fuzzing::Nowhere points;
  formats::read_jeol_delta(source, points);
  return 0;
}
