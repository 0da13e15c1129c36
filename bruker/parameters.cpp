// Values of a dataset's JCAMP-DX parameter files.
#include "bruker/parameters.hpp"

#include <charconv>
#include <cmath>

namespace bruker {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

// from_chars over the whole text, which takes no leading "+".
template <typename Number>
std::optional<Number> whole_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string text_file(const platform::FileSystem& files, std::string_view path) {
  constexpr std::size_t kMostBytes = std::size_t{16} << 20;
  return files.read_start(path, kMostBytes);
}

std::optional<std::string_view> parameter_text(std::string_view parameters, std::string_view key) {
  for (std::size_t start = 0; start < parameters.size();) {
    const std::size_t end = std::min(parameters.find('\n', start), parameters.size());
    std::string_view line = parameters.substr(start, end - start);
    if (line.starts_with("##$") && line.substr(3).starts_with(key) &&
        line.substr(3 + key.size()).starts_with('=')) {
      return trimmed(line.substr(4 + key.size()));
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<long long> integer_parameter(std::string_view parameters, std::string_view key) {
  const auto text = parameter_text(parameters, key);
  return text ? whole_number<long long>(*text) : std::nullopt;
}

std::optional<double> real_parameter(std::string_view parameters, std::string_view key) {
  const auto text = parameter_text(parameters, key);
  if (!text) return std::nullopt;
  const auto value = whole_number<double>(*text);
  return value && std::isfinite(*value) ? value : std::nullopt;
}

}  // namespace bruker
