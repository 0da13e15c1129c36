// Temporary folders, whole-file reads and writes, and byte-exact comparison for tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "bruker/word_format.hpp"

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

// Little- and big-endian byte strings, for building expected files.
std::string le16(std::int16_t v);
std::string le32(std::int32_t v);
std::string be32(std::int32_t v);
std::string be32s(const std::vector<std::int32_t>& words);
// FID words in a dataset's format: 32-bit integers (each value must be one) or doubles.
std::string words(const bruker::WordFormat& format, const std::vector<double>& values);

// The samples of a WAVE file: the body of its data chunk, to the file's end (a chunk's
// sizes trusted). Empty when it has none.
std::string wave_samples(const std::string& wav);
// The largest magnitude among 16-bit samples.
int peak_of(const std::string& pcm16);

// 16-bit PCM without the silent frames in front: an audio device may play silence
// between its opening and the start of a sound.
std::string after_leading_silence(const std::string& pcm16);

// Equal byte strings; on a mismatch, says where the first difference lies.
::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected);

}  // namespace testsupport
