// The console front end: one command of the window, run from the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Runs the command that args name and returns the exit status: 0 when done, 1 when the
// command was refused or its FID could not be read, 2 for a bad command line.
int run_console(const std::vector<std::string>& args, std::ostream& standardOutput, std::ostream& standardError);

}  // namespace cli
