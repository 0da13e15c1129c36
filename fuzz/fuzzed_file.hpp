// A fuzzer's input as a data file in a folder of its own, with the files beside it that a
// reader looks for, so that each reader is driven as intake drives it.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>

#include "formats/dataset.hpp"
#include "platform/file_system.hpp"

namespace fuzzing {

// Swallows the points.
class Nowhere final : public formats::PointSink {
 public:
  void put(const double* pairs, std::size_t count) override {
    for (std::size_t i = 0; i < 2 * count; ++i) sum_ += pairs[i];  // touch them all
  }

 private:
  volatile double sum_ = 0;
};

// Writes bytes as folder/name, the siblings beside it, and returns its path.
inline std::string fuzzed_file(const std::uint8_t* data, std::size_t size, const std::string& name,
                               const std::map<std::string, std::string>& siblings = {}) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/fid-song-fuzz-XXXXXX";
    return std::string(::mkdtemp(pattern.data())) + "/";
  }();
  for (const auto& [sibling, text] : siblings) std::ofstream(folder + sibling, std::ios::binary) << text;
  std::ofstream(folder + name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return folder + name;
}

inline platform::FileSystem& files() {
  static platform::FileSystem fs(platform::Drive("/tmp/fid-song-fuzz-drive"));
  return fs;
}

}  // namespace fuzzing
