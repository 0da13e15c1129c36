// libFuzzer target: the VnmrJ reader on any bytes: the fid file, and the procpar beside it
// taken from the input's tail (behind its last four 0xff bytes, when it has them).
#include "formats/varian_vnmrj.hpp"
#include "fuzz/fuzzed_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = bytes.rfind(std::string(4, '\xff'));
  const std::string fid = cut == std::string::npos ? bytes : bytes.substr(0, cut);
  const std::string procpar = cut == std::string::npos ? "sw 1 1 1e9 0 0 2 1 0 1 64\n1 8000\n0\n" : bytes.substr(cut + 4);
  formats::Source source(fuzzing::files(), fuzzing::fuzzed_file(reinterpret_cast<const std::uint8_t*>(fid.data()), fid.size(), "fid",
                                                                {{"procpar", procpar}, {"text", "fuzzed"}}));
  fuzzing::Nowhere points;
  formats::read_varian_vnmrj(source, points);
  return 0;
}
