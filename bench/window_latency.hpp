// How long the window's handlers hold its event loop while a long sound plays.
#pragma once

#include <filesystem>

namespace bench {

// Prints the median time, in ms, that a drop, a new sound, Esc and closing the window
// take to return while a 40 s sound plays (SDL's disk driver, at its own pace). Needs a
// QApplication. False when the window did not play, or Esc did not stop it.
bool print_window_latency(const std::filesystem::path& root);

// Prints how long the spectrum's view takes, in a window 1920 pixels wide, for the FID at
// fid (262144 points): the drop that takes it in, each of the view's keys with the redraw
// it makes, and one frame of the playhead, while its sound plays. False when it played
// nothing or drew nothing.
bool print_view_latency(const std::filesystem::path& root, const std::filesystem::path& fid);

}  // namespace bench
