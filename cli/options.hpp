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
  bool viewSpectrum = false;          // open the scratch plot (after taking a dataset in)
  bool hearSpectrum = false;          // then "hear Spectrum" (after taking a dataset in)
  std::optional<std::string> region;  // "HIGH:LOW": the part of the spectrum heard
  bool peaks = false;                 // print the spectrum's peaks
  bool report = false;                // print what a chemist reads off the spectrum
  std::optional<std::string> hearMultiplet;  // then hear this multiplet (from 1, from high shift)
  std::optional<std::string> protons;        // the compound's protons, which the integrals make up
  std::optional<std::string> pictureFile;  // then the spectrum saved as this SVG, PDF or PNG
  std::optional<std::string> pictureSize;  // "WxH": its size
  std::optional<std::string> archive; // then "archive Data" under this name
  bool play = true;
  bool picture = true;                // draw the spectrum of a dataset taken in
  bool open = true;                   // hand the plot and the page to the desktop
  bool help = false;
  bool version = false;
  std::string fidPath;  // the arguments that are not options, joined by blanks
};

// GNU style: options before or after the path, "--NAME=VALUE" or "--NAME VALUE", and
// everything after "--" is the path's. Gives the error text for an unknown option or a
// missing value.
std::variant<Options, std::string> parse_options(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace cli
