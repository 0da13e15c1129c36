// Values of a dataset's JCAMP-DX parameter files (acqus, procs): lines "##$KEY= value".
#pragma once

#include <optional>
#include <string_view>

namespace sound {

// The value text of the first line that starts with "##$" key "=", without the blanks
// around it; empty when there is no such line.
std::optional<std::string_view> parameter_text(std::string_view parameters, std::string_view key);

// The value as a whole decimal integer; empty when it is missing or anything else.
std::optional<long long> integer_parameter(std::string_view parameters, std::string_view key);

// The value as a real number ("." as the decimal point, an exponent allowed); empty when
// it is missing or anything else.
std::optional<double> real_parameter(std::string_view parameters, std::string_view key);

}  // namespace sound
