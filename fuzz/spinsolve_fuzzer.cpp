// libFuzzer target: the Spinsolve reader on any bytes: data.1d, and the acqu.par beside
// it taken from the input's tail (behind its last four 0xff bytes, when it has them).
#include "formats/spinsolve.hpp"
#include "fuzz/fuzzed_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = bytes.rfind(std::string(4, '\xff'));
  const std::string file = cut == std::string::npos ? bytes : bytes.substr(0, cut);
  const std::string par = cut == std::string::npos ? "bandwidth = 5\nb1Freq = 43.5\n" : bytes.substr(cut + 4);
  formats::Source source(fuzzing::files(), fuzzing::fuzzed_file(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(),
                                                                "data.1d", {{"acqu.par", par}}));
  fuzzing::Nowhere points;
  formats::read_spinsolve(source, points);
  return 0;
}
