// fid-song-cli: the window's commands without a window.
#include <csignal>
#include <iostream>

#include "cli/console_app.hpp"
#include "platform/interruption.hpp"

int main(int argc, char** argv) {
  // An interrupted run leaves no temporary file behind.
  platform::end_cleanly_on_interruption();
  // Output into a closed pipe ("| head") or past a file-size limit fails as a write; it
  // does not end the program before its work (an archive, say) is done.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  return cli::run_console(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
