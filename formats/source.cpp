// A data file read as a reader of another maker's format needs it.
#include "formats/source.hpp"

#include <algorithm>
#include <bit>

namespace formats {

Source::Source(platform::FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)), folder_(path_.substr(0, path_.rfind('/') + 1)) {
  // Opened here with a flag of its own: a reader's reads never touch the request's.
  file_ = platform::BinaryFile(files_.drive().resolve(path_), platform::BinaryFile::Mode::Reading, failures_);
  length_ = file_.is_open() ? file_.length() : 0;
}

std::string Source::name() const { return path_.substr(folder_.size()); }

bool Source::read(std::int64_t offset, void* into, std::size_t n) {
  if (offset < 0 || offset > length_ || static_cast<std::int64_t>(n) > length_ - offset) return false;
  if (!file_.set_position(offset + 1)) return false;
  return file_.read(into, n) == n;
}

std::string Source::head(std::size_t n) {
  std::string bytes(static_cast<std::size_t>(std::min<std::int64_t>(length_, static_cast<std::int64_t>(n))), '\0');
  if (!read(0, bytes.data(), bytes.size())) return {};
  return bytes;
}

std::string Source::sibling(std::string_view name) const {
  return files_.read_start(folder_ + std::string(name), std::size_t{1} << 20);
}

bool Source::has_sibling(std::string_view name) const { return files_.is_file(folder_ + std::string(name)); }

const unsigned char* Fields::at(std::size_t offset, std::size_t n) const {
  if (offset > bytes_.size() || n > bytes_.size() - offset) return nullptr;
  return reinterpret_cast<const unsigned char*>(bytes_.data()) + offset;
}

std::uint8_t Fields::u8(std::size_t offset) const {
  const unsigned char* p = at(offset, 1);
  return p ? *p : 0;
}

std::uint16_t Fields::u16(std::size_t offset) const {
  const unsigned char* p = at(offset, 2);
  if (!p) return 0;
  return order_ == common::ByteOrder::Big ? common::load<common::ByteOrder::Big, std::uint16_t>(p)
                                          : common::load<common::ByteOrder::Little, std::uint16_t>(p);
}

std::uint32_t Fields::u32(std::size_t offset) const {
  const unsigned char* p = at(offset, 4);
  if (!p) return 0;
  return order_ == common::ByteOrder::Big ? common::load<common::ByteOrder::Big, std::uint32_t>(p)
                                          : common::load<common::ByteOrder::Little, std::uint32_t>(p);
}

std::uint64_t Fields::u64(std::size_t offset) const {
  const unsigned char* p = at(offset, 8);
  if (!p) return 0;
  return order_ == common::ByteOrder::Big ? common::load<common::ByteOrder::Big, std::uint64_t>(p)
                                          : common::load<common::ByteOrder::Little, std::uint64_t>(p);
}

float Fields::f32(std::size_t offset) const { return std::bit_cast<float>(u32(offset)); }

double Fields::f64(std::size_t offset) const { return std::bit_cast<double>(u64(offset)); }

std::string Fields::text(std::size_t offset, std::size_t n) const {
  const unsigned char* p = at(offset, n);
  if (!p) return {};
  std::string text(reinterpret_cast<const char*>(p), n);
  text.resize(std::min(text.find('\0'), text.size()));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  return text;
}

}  // namespace formats
