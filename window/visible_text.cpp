// Text from a dataset made safe to show.
#include "window/visible_text.hpp"

#include <cstdio>

namespace window {
namespace {

std::string hex_escape(const char* form, unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, form, value);
  return text;
}

// The length of the well-formed UTF-8 sequence at the start of text; 0 when there is none.
std::size_t utf8_length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // what the second byte may be
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string visible_text(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = utf8_length(text.substr(i));
      const auto second = length == 2 ? static_cast<unsigned char>(text[i + 1]) : 0u;
      if (c == 0xC2 && second <= 0x9F && length == 2) {
        shown += hex_escape("\\u%04x", second);  // U+0080 to U+009F
      } else if (length > 0) {
        shown += text.substr(i, length);
      } else {
        // A byte of another encoding: Latin-1's letters pass, its C1 range is control.
        shown += c <= 0x9F ? hex_escape("\\x%02x", c) : std::string(1, static_cast<char>(c));
        i += 1;
        continue;
      }
      i += length;
      continue;
    }
    if (c == '\n' || (c >= 0x20 && c != 0x7F)) {
      shown += static_cast<char>(c);
    } else if (c == 0x1B) {
      shown += "\\e";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else {
      shown += hex_escape("\\x%02x", c);
    }
    ++i;
  }
  return shown;
}

}  // namespace window
