// A Bruker dataset's text files, and the values of its JCAMP-DX parameter files (acqus,
// procs): lines "##$KEY= value".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"

namespace bruker {

// A dataset's text file (acqus, procs, title) whole, or its first 16 MiB; empty when it
// cannot be read. Reading it never counts as a failed operation of a request.
std::string text_file(const platform::FileSystem& files, std::string_view path);

// The value text of the first line that starts with "##$" key "=", without the blanks
// around it; empty when there is no such line.
std::optional<std::string_view> parameter_text(std::string_view parameters, std::string_view key);

// The value as a whole decimal integer; empty when it is missing or anything else.
std::optional<long long> integer_parameter(std::string_view parameters, std::string_view key);

// The value as a real number ("." as the decimal point, an exponent allowed); empty when
// it is missing or anything else.
std::optional<double> real_parameter(std::string_view parameters, std::string_view key);

}  // namespace bruker
