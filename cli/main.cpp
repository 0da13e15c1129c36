// fid-song-cli: the window's commands without a window.
#include <iostream>

#include "cli/console_app.hpp"

int main(int argc, char** argv) {
  return cli::run_console(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
