// The console front end's command line.
#include "cli/options.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace cli {

const char* const kUsage =
    "usage: fid-song-cli [options] [FID-PATH]\n"
    "Turns a dataset's fid file (or, without FID-PATH, the FID already in the scratch\n"
    "folder) into fid.wav and fid.xls and plays the sound.\n"
    "  --speed TEXT   replay speed, as in the window's list (default \"x 1\"; \"x ?\" asks)\n"
    "  --answer TEXT  answer to any question asked (without it, questions are cancelled)\n"
    "  --f1 TEXT      first tone frequency box (default 440)\n"
    "  --f2 TEXT      second tone frequency box (default 445)\n"
    "  --off1, --off2 switch the first or second tone off\n"
    "  --tones        play the tone test\n"
    "  --view-spectrum  open the dataset's spectrum plot with the desktop's viewer\n"
    "  --no-play      write the files without playing them\n"
    "  --no-picture   do not draw the dataset's spectrum (spectrum.gif and, without a plot,\n"
    "                 spectrum.eps), for batch runs where time matters\n"
    "  --archive NAME then keep the dataset and its sound in the archive folder NAME\n"
    "  --help         show this text\n";

std::variant<Options, std::string> parse_options(const std::vector<std::string>& args) {
  Options o;
  const std::pair<std::string_view, std::optional<std::string>*> valued[] = {
      {"--speed", &o.speed}, {"--answer", &o.answer}, {"--f1", &o.f1},
      {"--f2", &o.f2},       {"--archive", &o.archive}};
  const std::pair<std::string_view, bool*> flags[] = {
      {"--off1", &o.off1},  {"--off2", &o.off2},
      {"--tones", &o.tones}, {"--view-spectrum", &o.viewSpectrum}, {"--help", &o.help}};
  const auto find = [](const auto& table, std::string_view name) {
    const auto* hit = std::find_if(std::begin(table), std::end(table),
                                   [&](const auto& entry) { return entry.first == name; });
    return hit == std::end(table) ? nullptr : hit->second;
  };

  std::size_t i = 0;
  for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (auto* value = find(valued, arg)) {
      if (i + 1 == args.size()) return "option " + arg + " needs a value";
      *value = args[++i];
    } else if (auto* flag = find(flags, arg)) {
      *flag = true;
    } else if (arg == "--no-play") {
      o.play = false;
    } else if (arg == "--no-picture") {
      o.picture = false;
    } else {
      return "unknown option " + arg;
    }
  }
  for (std::size_t first = i; i < args.size(); ++i) {
    if (i > first) o.fidPath += ' ';
    o.fidPath += args[i];
  }
  return o;
}

}  // namespace cli
