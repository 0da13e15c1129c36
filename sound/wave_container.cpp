// The RIFF WAVE layout of the sound file.
#include "sound/wave_container.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace sound {
namespace {

using platform::BinaryFile;

// Little-endian field packing. A record is encoded before a read into its bytes and
// decoded after it, so a read that fails leaves the record as it was.
class Encoder {
 public:
  explicit Encoder(unsigned char* p) : p_(p) {}
  void id(const ChunkId& v) {
    std::memcpy(p_, v.data(), 4);
    p_ += 4;
  }
  void i16(std::int16_t v) { put(static_cast<std::uint16_t>(v), 2); }
  void i32(std::int32_t v) { put(static_cast<std::uint32_t>(v), 4); }

 private:
  void put(std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) *p_++ = static_cast<unsigned char>(v >> (8 * i));
  }
  unsigned char* p_;
};

class Decoder {
 public:
  explicit Decoder(const unsigned char* p) : p_(p) {}
  void id(ChunkId& v) {
    std::memcpy(v.data(), p_, 4);
    p_ += 4;
  }
  void i16(std::int16_t& v) { v = static_cast<std::int16_t>(get(2)); }
  void i32(std::int32_t& v) { v = static_cast<std::int32_t>(get(4)); }

 private:
  std::uint32_t get(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint32_t{*p_++} << (8 * i);
    return v;
  }
  const unsigned char* p_;
};

// One field list per record serves both encoding and decoding.
template <typename Fields>
void visit_fields(RiffHeader& r, Fields&& f) {
  f.id(r.id), f.i32(r.size), f.id(r.formType);
}
template <typename Fields>
void visit_fields(ChunkHeader& r, Fields&& f) {
  f.id(r.id), f.i32(r.size);
}
template <typename Fields>
void visit_fields(WaveFormat& r, Fields&& f) {
  f.i16(r.formatTag), f.i16(r.channels), f.i32(r.sampleRate), f.i32(r.byteRate),
      f.i16(r.blockAlign), f.i16(r.bitsPerSample);
}

template <typename Record>
void write_record(BinaryFile& file, Record record) {
  unsigned char bytes[Record::kBytes];
  visit_fields(record, Encoder(bytes));
  file.write(bytes, sizeof bytes);
}

template <typename Record>
void read_record(BinaryFile& file, Record& record) {
  unsigned char bytes[Record::kBytes];
  visit_fields(record, Encoder(bytes));
  file.read(bytes, sizeof bytes);
  visit_fields(record, Decoder(bytes));
}

std::optional<std::int32_t> fit32(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// A size field: signed in the record, read as unsigned by every WAVE reader, so any value
// that has 32 bits goes out as its bits.
std::optional<std::int32_t> fit_size(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

void set_default_header(WaveHeaders& h) {
  h.dataHeader.id = kDataId;
  h.fmtHeader.id = kFmtId;
  h.fmtHeader.size = 16;
  h.riff.id = kRiffId;
  h.riff.formType = kWaveId;
  h.format.bitsPerSample = 16;
  h.format.blockAlign = 2;
  h.format.formatTag = 1;
  h.format.channels = 1;
  h.format.sampleRate = 44100;
}

void write_comment(BinaryFile& file, const WaveHeaders& h) {
  write_record(file, h.commentHeader);
  file.write(h.comment);
}

}  // namespace

WaveHeaders standard_headers() {
  WaveHeaders h;
  set_default_header(h);
  return h;
}

std::int64_t most_samples(std::int64_t headerBytes, const WaveLimit& limit) {
  const std::int64_t room = (limit.mostRiffSize + 8 - headerBytes) / 2;
  return std::clamp<std::int64_t>(room, 0, limit.mostSamples);
}

WaveHeaders readtemplate(platform::FileSystem& files, std::string_view path) {
  WaveHeaders h;
  // Only read: a template the user may not write (installed beside the programs) serves.
  BinaryFile tmpl = files.open_for_reading_created(path);
  // The loop ends once it is past the end, whatever the chunks' sizes say.
  const std::int64_t length = tmpl.length();
  read_record(tmpl, h.riff);
  for (;;) {
    ChunkHeader work;
    work.id = {' ', ' ', ' ', ' '};
    read_record(tmpl, work);
    if (work.id == kFmtId) {
      h.fmtHeader = work;
      const std::int64_t body = tmpl.position();
      read_record(tmpl, h.format);
      // Only the first 16 bytes matter; a longer body is passed over. A negative size
      // would lead back onto this chunk's header for ever, so it counts as a failure.
      if (h.fmtHeader.size < 0) {
        files.failures().raise();
      } else {
        tmpl.set_position(body + h.fmtHeader.size);
      }
      h.fmtHeader.size = 16;
    } else if (work.id == kFactId) {
      // The request's own comment replaces the template's; only move past it.
      if (work.size != 0) tmpl.skip(work.size);
    } else if (work.id == kDataId) {
      h.dataHeader = work;
      break;
    }
    // Other chunks are not passed over: the next header is read from their body.
    if (tmpl.eof() || tmpl.position() > length + 1) break;
    if (files.failures().raised()) break;
  }
  if (h.dataHeader.id != kDataId) set_default_header(h);
  return h;
}

void writeheader(BinaryFile& file, WaveHeaders& h, const std::string& comment) {
  h.comment = comment;
  write_record(file, h.riff);
  write_record(file, h.fmtHeader);
  write_record(file, h.format);
  if (!h.comment.empty()) {
    h.comment.append(8 - h.comment.size() % 8, ' ');  // never 0 blanks
    h.commentHeader.id = kFactId;
    h.commentHeader.size = static_cast<std::int32_t>(h.comment.size());
    write_comment(file, h);
  }
  write_record(file, h.dataHeader);
}

void finishheader(BinaryFile& file, WaveHeaders& h, std::int32_t sampleRate,
                  std::int64_t sampleCount) {
  file.set_position(1);
  if (const std::int64_t length = file.length(); length >= 0) {
    h.riff.size = fit_size(length - 8).value_or(h.riff.size);
  }
  write_record(file, h.riff);
  h.format.byteRate =
      fit32(std::int64_t{sampleRate} * h.format.blockAlign).value_or(h.format.byteRate);
  write_record(file, h.fmtHeader);
  h.format.sampleRate = sampleRate;
  h.format.channels = 1;
  write_record(file, h.format);
  h.dataHeader.size = fit_size(h.format.blockAlign * sampleCount).value_or(h.dataHeader.size);
  if (!h.comment.empty()) write_comment(file, h);
  write_record(file, h.dataHeader);
}

}  // namespace sound
