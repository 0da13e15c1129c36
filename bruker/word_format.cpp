// How a dataset stores the words of its FID.
#include "bruker/word_format.hpp"

#include "bruker/parameters.hpp"

namespace bruker {

WordFormat word_format(std::string_view acqus) {
  WordFormat format;
  if (integer_parameter(acqus, "BYTORDA") == 0) format.order = ByteOrder::Little;
  if (integer_parameter(acqus, "DTYPA") == 2) format.type = WordType::Float64;
  return format;
}

}  // namespace bruker
