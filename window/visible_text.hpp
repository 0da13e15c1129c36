// Text from a dataset made safe to show: its control characters escaped.
#pragma once

#include <string>
#include <string_view>

namespace window {

// The text with every control character shown as an escape, as `ls -b` does, so that a
// title or a path cannot drive a terminal or reach a screen reader as a command: ESC as
// "\e", tab and carriage return as "\t" and "\r", other C0 controls and DEL as "\x07",
// C1 controls as "\u009b" when encoded in UTF-8 and as "\x9b" when a lone byte. Line
// feeds stay: they are the caption's line breaks. Everything else passes unchanged, UTF-8
// and Latin-1 letters included.
std::string visible_text(std::string_view text);

}  // namespace window
