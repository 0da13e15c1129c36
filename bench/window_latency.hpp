// How long the window's handlers hold its event loop while a long sound plays.
#pragma once

#include <filesystem>

namespace bench {

// Prints the median time, in ms, that a drop, a new sound, Esc and closing the window
// take to return while a 40 s sound plays (SDL's disk driver, at its own pace). Needs a
// QApplication. False when the window did not play, or Esc did not stop it.
bool print_window_latency(const std::filesystem::path& root);

}  // namespace bench
