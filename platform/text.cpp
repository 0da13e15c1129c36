// Text and number conversions.
#include "platform/text.hpp"

#include <charconv>
#include <limits>

namespace platform {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Length of the leading run of digits of text from position i.
std::size_t digits_from(std::string_view text, std::size_t i) {
  std::size_t n = 0;
  while (i + n < text.size() && is_digit(text[i + n])) ++n;
  return n;
}

}  // namespace

double numeric_value(std::string_view text) { return leading_number(text).value_or(0.0); }

std::optional<double> leading_number(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;

  std::size_t end = start;
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  const std::size_t whole = digits_from(text, end);
  end += whole;
  std::size_t fraction = 0;
  if (end < text.size() && text[end] == '.') {
    fraction = digits_from(text, end + 1);
    if (whole + fraction > 0) end += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  // An exponent counts only when digits follow it.
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t e = end + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (const std::size_t n = digits_from(text, e); n > 0) end = e + n;
  }

  // from_chars takes no leading "+".
  std::size_t from = start;
  const bool negative = text[from] == '-';
  if (text[from] == '+' || negative) ++from;
  double value = 0.0;
  const auto ec = std::from_chars(text.data() + from, text.data() + end, value).ec;
  if (ec == std::errc::result_out_of_range) {
    // Too small underflows to 0; too large is an infinity. Tell them apart by the
    // exponent's sign in the text (from_chars leaves value unset here).
    const std::string_view number = text.substr(from, end - from);
    const auto e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

std::optional<std::int16_t> round_to_int16(double value) {
  const auto rounded = round_to_int32(value);
  if (!rounded || *rounded < -32768 || *rounded > 32767) return std::nullopt;
  return static_cast<std::int16_t>(*rounded);
}

std::string decimal_text(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string fixed_text(double value, int decimals) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t i = 0;
  for (auto hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, i)) {
    out.append(text, i, hit - i).append(to);
    i = hit + from.size();
  }
  out.append(text, i);
  return out;
}

std::string_view from_second(std::string_view text) {
  return text.size() < 2 ? std::string_view{} : text.substr(1);
}

}  // namespace platform
