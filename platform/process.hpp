// Facts about the running process, and running other programs.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace platform {

// Folder of the running executable, without a trailing separator; empty when unknown.
std::string executable_folder();

struct ProcessOptions {
  // Changes to this process's environment for the program: a name whose value is empty
  // is removed.
  std::map<std::string, std::string> env;
  // The program's output and errors are collected; otherwise they go to /dev/null.
  bool capture = true;
  // Its peak resident memory is measured (through GNU time: the kernel would count the
  // memory of this process, from which the program is started, as the program's own).
  bool measurePeak = false;
};

struct ProcessResult {
  int status = -1;     // exit status; -1 when it could not start or did not exit normally
  int signal = 0;      // the signal that ended it, when one did
  std::string out, err;
  long peakKib = -1;   // with measurePeak, when known
};

// Runs argv[0] (searched on PATH) with nothing on its standard input, waits for it to
// end and collects what it wrote.
ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// Starts argv[0] (searched on PATH) and returns at once: its process id, or -1 when it
// could not start. The caller waits for it, or it passes to the system when this ends.
pid_t start_process(const std::vector<std::string>& argv,
                    const std::map<std::string, std::string>& env = {});

}  // namespace platform
