// The console front end's command line.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

struct Options {
  std::optional<std::string> speed;   // the replay-speed text; start-up picks "x 1"
  std::optional<std::string> answer;  // typed into any prompt; none: prompts are cancelled
  std::optional<std::string> f1, f2;  // the frequency boxes; start-up writes 440 and 445
  bool off1 = false, off2 = false;    // uncheck a tone box
  bool tones = false;                 // the tone test instead of a replay
  bool viewSpectrum = false;          // open the scratch plot instead of a sound
  std::optional<std::string> archive; // then "archive Data" under this name
  bool play = true;
  bool picture = true;                // draw the spectrum of a dataset taken in
  bool help = false;
  std::string fidPath;  // the remaining arguments joined by blanks
};

// Options come first; the first argument that is not one (or everything after "--")
// starts the FID path. Gives the error text for an unknown option or a missing value.
std::variant<Options, std::string> parse_options(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace cli
