// Temporary folders and byte helpers for tests.
#include "tests/support/files.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "song-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string le16(std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  return {static_cast<char>(u & 0xff), static_cast<char>(u >> 8)};
}

std::string le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<char>(u & 0xff), static_cast<char>((u >> 8) & 0xff),
          static_cast<char>((u >> 16) & 0xff), static_cast<char>(u >> 24)};
}

std::string be32(std::int32_t v) { return be32s({v}); }

std::string be32s(const std::vector<std::int32_t>& words) {
  std::string bytes;
  for (const auto w : words) bruker::append_word(bytes, bruker::ByteOrder::Big, w);
  return bytes;
}

std::string words(const bruker::WordFormat& format, const std::vector<double>& values) {
  std::string bytes;
  for (const double v : values) {
    if (format.type == bruker::WordType::Float64) {
      bruker::append_word(bytes, format.order, v);
    } else if (v >= -2147483648.0 && v <= 2147483647.0 && v == std::trunc(v)) {
      bruker::append_word(bytes, format.order, static_cast<std::int32_t>(v));
    } else {
      throw std::invalid_argument("not a 32-bit word");
    }
  }
  return bytes;
}

std::string wave_samples(const std::string& wav) {
  // Chunk after chunk behind the RIFF header, to the data chunk's body, to the file's end.
  for (std::size_t at = 12; at + 8 <= wav.size();) {
    std::size_t size = 0;
    for (int b = 3; b >= 0; --b) size = size << 8 | static_cast<unsigned char>(wav[at + 4 + static_cast<std::size_t>(b)]);
    if (wav.compare(at, 4, "data") == 0) return wav.substr(at + 8);
    at += 8 + size;
  }
  return {};
}

int peak_of(const std::string& pcm16) {
  int peak = 0;
  for (std::size_t at = 0; at + 1 < pcm16.size(); at += 2) {
    const auto v = static_cast<std::int16_t>(static_cast<unsigned char>(pcm16[at]) | static_cast<unsigned char>(pcm16[at + 1]) << 8);
    peak = std::max(peak, std::abs(int{v}));
  }
  return peak;
}

std::string after_leading_silence(const std::string& pcm16) {
  std::size_t at = 0;
  while (at + 1 < pcm16.size() && pcm16[at] == 0 && pcm16[at + 1] == 0) at += 2;
  return pcm16.substr(at);
}

::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
  const std::size_t common = std::min(actual.size(), expected.size());
  std::size_t at = 0;
  while (at < common && actual[at] == expected[at]) ++at;
  if (at == common && actual.size() == expected.size()) return ::testing::AssertionSuccess();
  std::ostringstream why;
  why << "first difference at offset " << at << " (actual " << actual.size() << " bytes, expected "
      << expected.size() << ")";
  if (at < common) {
    why << ": actual 0x" << std::hex << (static_cast<unsigned>(actual[at]) & 0xff) << ", expected 0x"
        << (static_cast<unsigned>(expected[at]) & 0xff);
  }
  return ::testing::AssertionFailure() << why.str();
}

}  // namespace testsupport
