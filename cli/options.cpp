// The console front end's command line.
#include "cli/options.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace cli {

const char* const kUsage =
    "usage: fid-song-cli [options] [FID-PATH]\n"
    "Turns a dataset's fid or ser file, or its folder (or, without FID-PATH, the FID already\n"
    "in the scratch folder) into fid.wav and fid.xls, draws its spectrum and plays the sound.\n"
    "Options may stand before or after FID-PATH; everything after -- belongs to FID-PATH.\n"
    "  --speed TEXT     replay speed, as in the window's list (default \"x 1\"; \"x ?\" asks)\n"
    "  --answer TEXT    answer to any question asked (without it, questions are cancelled)\n"
    "  --f1 TEXT        first tone frequency box (default 440)\n"
    "  --f2 TEXT        second tone frequency box (default 445)\n"
    "  --off1, --off2   switch the first or second tone off\n"
    "  --tones          play the tone test\n"
    "  --view-spectrum  open the dataset's spectrum plot with the desktop's viewer (after\n"
    "                   taking FID-PATH in, when there is one)\n"
    "  --hear-spectrum  then play FID-PATH's spectrum as an audio graph (spectrum.wav)\n"
    "  --region HIGH:LOW  with --hear-spectrum: play only this part of it, in ppm (Hz for a\n"
    "                   spectrum without a frequency), 10 s across it at \"x 1\"\n"
    "  --peaks          print the spectrum's peaks (peaks.txt): ppm and height\n"
    "  --report         print the spectrum's multiplets (report.txt), as journals list them\n"
    "  --protons N      the compound's protons, which the report's integrals add up to\n"
    "  --hear-multiplet K  then play the spectrum's Kth multiplet, from high shift down\n"
    "                   (multiplet.wav)\n"
    "  --picture FILE   then save the spectrum as a picture for a paper: FILE.svg, .pdf or\n"
    "                   .png, with its axis, its multiplets' labels and integrals\n"
    "  --picture-size WxH  its size: pixels for PNG (default 1600x900), centimetres for\n"
    "                   PDF and SVG (default 16x9)\n"
    "  --archive NAME   then keep the dataset and its sound in the archive folder NAME\n"
    "  --no-play        write the files without playing them\n"
    "  --no-picture     do not draw the dataset's spectrum (spectrum.gif and, without a plot,\n"
    "                   spectrum.eps), for batch runs where time matters\n"
    "  --no-open        make the archive and the spectrum, but hand neither to the desktop\n"
    "  -h, --help       show this text\n"
    "  --version        show the program's version\n";

std::variant<Options, std::string> parse_options(const std::vector<std::string>& args) {
  Options o;
  const std::pair<std::string_view, std::optional<std::string>*> valued[] = {
      {"--speed", &o.speed}, {"--answer", &o.answer}, {"--f1", &o.f1},
      {"--f2", &o.f2},       {"--archive", &o.archive}, {"--protons", &o.protons},
      {"--hear-multiplet", &o.hearMultiplet}, {"--region", &o.region},
      {"--picture", &o.pictureFile}, {"--picture-size", &o.pictureSize}};
  const std::pair<std::string_view, bool*> flags[] = {
      {"--off1", &o.off1},    {"--off2", &o.off2},    {"--tones", &o.tones},
      {"--view-spectrum", &o.viewSpectrum},            {"--hear-spectrum", &o.hearSpectrum},
      {"--peaks", &o.peaks},  {"--report", &o.report},  {"--help", &o.help},
      {"-h", &o.help},        {"--version", &o.version}};
  const std::pair<std::string_view, bool*> negations[] = {
      {"--no-play", &o.play}, {"--no-picture", &o.picture}, {"--no-open", &o.open}};
  const auto find = [](const auto& table, std::string_view name) {
    const auto* hit = std::find_if(std::begin(table), std::end(table),
                                   [&](const auto& entry) { return entry.first == name; });
    return hit == std::end(table) ? nullptr : hit->second;
  };

  std::vector<std::string_view> path;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options || arg.size() < 2 || arg[0] != '-') {
      path.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options = false;
      continue;
    }
    const auto eq = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, eq);
    if (auto* value = find(valued, name)) {
      if (eq != std::string::npos) {
        *value = arg.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        *value = args[++i];
      } else {
        return "option " + arg + " needs a value";
      }
    } else if (auto* flag = find(flags, arg)) {
      *flag = true;
    } else if (auto* negated = find(negations, arg)) {
      *negated = false;
    } else {
      return "unknown option " + arg;
    }
  }
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i > 0) o.fidPath += ' ';
    o.fidPath += path[i];
  }
  return o;
}

}  // namespace cli
