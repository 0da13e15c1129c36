// The console front end.
#include "cli/console_app.hpp"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string_view>
#include <thread>

#include "cli/options.hpp"
#include "platform/process.hpp"
#include "platform/sdl_media.hpp"
#include "platform/text.hpp"
#include "processing/referencing.hpp"
#include "common/scratch_paths.hpp"
#include "spectrum/audio_graph.hpp"
#include "spectrum/picture.hpp"
#include "window/control_state.hpp"
#include "window/form.hpp"
#include "window/messages.hpp"
#include "window/status.hpp"
#include "window/visible_text.hpp"

namespace cli {
namespace {

using platform::ToneBox;
using namespace std::chrono_literals;

// How long the desktop may take to say that it could not open a document.
constexpr auto kDesktopAnswer = 3s;

// For --no-open: the archive and the spectrum are made, and nothing is opened.
class KeptShell final : public platform::Shell {
 public:
  void shellopen(const std::string&, std::int16_t) override {}
};

void apply_options(const Options& o, window::ControlState& window) {
  if (o.f1) window.set_tone_text(ToneBox::First, *o.f1);
  if (o.f2) window.set_tone_text(ToneBox::Second, *o.f2);
  window.switches = {{ToneBox::First, !o.off1}, {ToneBox::Second, !o.off2}};
  if (o.speed) window.speed = *o.speed;
}

// Standard output or standard error. What it says holds words from datasets and from the
// command line (titles, paths, names): a terminal shows them with their control
// characters escaped, so that a dataset cannot drive it; a pipe or a file gets them byte
// for byte, as scripts rely on.
class Channel {
 public:
  Channel(std::ostream& stream, int fd) : stream_(stream), terminal_(::isatty(fd) == 1) {}
  bool terminal() const { return terminal_; }
  Channel& operator<<(std::string_view text) {
    stream_ << (terminal_ ? window::visible_text(text) : std::string(text));
    return *this;
  }
  // A message of the program's, on a line of its own.
  void say(const std::string& message) { *this << "fid-song-cli: " << message << "\n"; }
  std::ostream& stream() { return stream_; }

 private:
  std::ostream& stream_;
  bool terminal_;
};

// The caption as the window shows it: a carriage return starts a new line.
std::string printable(const std::string& caption) {
  std::string text = platform::replace_all(caption, "\r", "\n");
  if (text.empty() || text.back() != '\n') text += '\n';
  return text;
}

// Each question asked, with the answer it got, so that a user sees what was asked.
void echo_prompts(window::ControlState& window, Channel& err) {
  for (const auto& p : window.prompts) {
    err << p.text;
    if (p.default_answer) err << " [" << *p.default_answer << "]";
    err << " " << (p.answer.empty() ? "(cancelled: no answer given)" : p.answer) << "\n";
  }
  window.prompts.clear();
}

// Waits for the sound's end; on a terminal, with a line that says how far it has got.
using Progress = std::function<std::string(const platform::Playback&)>;
void wait_for_sound(platform::Media& media, const Progress& progress, Channel& err) {
  if (err.terminal()) {
    std::size_t shown = 0;
    while (const auto playback = media.playing()) {
      const std::string line = window::visible_text(progress(*playback));
      err.stream() << '\r' << line << std::string(shown > line.size() ? shown - line.size() : 0, ' ') << std::flush;
      shown = line.size();
      std::this_thread::sleep_for(100ms);
    }
    if (shown > 0) err.stream() << '\n';
  }
  media.wait_until_done();
}

// A whole number from 1 on, from an option's text; nothing for none or anything else.
std::optional<int> whole_number(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size() || value < 1) return std::nullopt;
  return value;
}

// "HIGH:LOW", two numbers, the first the larger; nothing for anything else.
std::optional<spectrum::Range> region_of(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  const std::size_t colon = text->find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto number = [](std::string_view part) -> std::optional<double> {
    double value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc() || end != part.data() + part.size() || !std::isfinite(value)) return std::nullopt;
    return value;
  };
  const auto high = number(std::string_view(*text).substr(0, colon)), low = number(std::string_view(*text).substr(colon + 1));
  if (!high || !low || !(*high > *low)) return std::nullopt;
  return spectrum::Range{*high, *low};
}

// The picture asked for: its file's format and its size, as asked or the default; nothing
// when either is not understood.
struct PictureAsked {
  spectrum::PictureFormat format = spectrum::PictureFormat::Png;
  spectrum::PictureSize size;
};
std::optional<PictureAsked> picture_asked(const Options& o) {
  const auto format = o.pictureFile ? spectrum::picture_format(*o.pictureFile) : std::nullopt;
  if (!format) return std::nullopt;
  const auto size = o.pictureSize ? spectrum::picture_size(*o.pictureSize, *format)
                                  : std::optional(spectrum::default_picture_size(*format));
  if (!size) return std::nullopt;
  return PictureAsked{*format, *size};
}

}  // namespace

int run_console(const std::vector<std::string>& args, std::ostream& standardOutput, std::ostream& standardError) {
  Channel out(standardOutput, STDOUT_FILENO), err(standardError, STDERR_FILENO);
  const auto parsed = parse_options(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    err.say(*error);
    err << kUsage;
    return 2;
  }
  const Options& o = std::get<Options>(parsed);
  if (o.help) {
    out << kUsage;
    return 0;
  }
  if (o.version) {
    out << "fid-song-cli " << FIDSONG_VERSION << "\n";
    return 0;
  }
  const bool dataset = !o.fidPath.empty();
  const bool hearing = o.hearSpectrum || o.hearMultiplet;
  if ((o.tones && dataset) || (o.viewSpectrum && !dataset && (o.tones || o.archive)) || (hearing && !dataset) ||
      (o.hearSpectrum && o.hearMultiplet)) {
    err.say("give one of FID-PATH and --tones; --view-spectrum without FID-PATH"
            " opens the plot already in the scratch folder, and makes no sound to archive;"
            " --hear-spectrum and --hear-multiplet (one of them) hear the spectrum of FID-PATH");
    err << kUsage;
    return 2;
  }
  const auto protons = whole_number(o.protons), multiplet = whole_number(o.hearMultiplet);
  if ((o.protons && !protons) || (o.hearMultiplet && !multiplet)) {
    err.say("--protons and --hear-multiplet take a whole number from 1 on");
    err << kUsage;
    return 2;
  }
  const auto region = region_of(o.region);
  if (o.region && (!region || !o.hearSpectrum)) {
    err.say("--region takes HIGH:LOW, two numbers with the higher first, and goes with --hear-spectrum");
    err << kUsage;
    return 2;
  }

  const auto pictureAsked = picture_asked(o);
  if ((o.pictureFile && (!pictureAsked || !dataset || !o.picture)) || (o.pictureSize && !o.pictureFile)) {
    err.say("--picture takes a FILE.svg, .pdf or .png and FID-PATH; --picture-size takes WxH, pixels for PNG from 16 to "
            "16000, centimetres for PDF and SVG from 1 to 200, and goes with --picture");
    err << kUsage;
    return 2;
  }

  std::optional<platform::Drive> drive = platform::Drive::from_environment();
  if (!drive) {
    err.say(window::kNoDriveMessage);
    return 1;
  }
  int status = 0;
  platform::FileSystem files(std::move(*drive));
  files.set_waiting_notice([&err] {
    err.say(window::kWaitingMessage);
    err.stream().flush();
  });
  window::ControlState window;
  window.commandLine = o.fidPath;
  window.exeFolder = platform::executable_folder();
  if (o.answer) window.answers = {*o.answer};
  platform::SilentMedia silent;
  std::optional<platform::SdlMedia> speaker;
  platform::Media& media = o.play ? speaker.emplace(files.drive()) : static_cast<platform::Media&>(silent);
  platform::XdgShell desktop(files.drive(), [&](const std::string& path, int code) {
    err.say(window::desktop_message(path, code));
    status = 1;
  });
  KeptShell kept;
  platform::Shell& shell = o.open ? static_cast<platform::Shell&>(desktop) : kept;
  platform::Services services{files, window, media, shell};
  intake::IntakeOptions intakeOptions;
  intakeOptions.picture = o.picture;
  intakeOptions.protons = protons;
  window::Form form(services, intakeOptions);

  form.prepare_controls();
  apply_options(o, window);
  if (o.viewSpectrum && !dataset) {
    form.command3_click();
    desktop.wait(kDesktopAnswer);
    return status;
  }

  sound::SoundResult sound;
  std::string noSpectrum;  // why the dataset has no spectrum, when it says
  if (dataset) {
    const intake::IntakeResult intake = *form.take_command_line();
    noSpectrum = intake.spectrumRefusal;
    if (const auto message = window::unreadable_message(intake)) {
      err.say(*message);
      status = 1;
    }
    // Refused: nothing was changed, nothing is sounded.
    if (!intake.sound) return status;
    sound = *intake.sound;
  } else if (o.tones) {
    const window::ToneTestResult tones = form.command2_click();
    if (tones.refused) {
      err.say(window::tone_refusal_message(*tones.refused));
      return 1;
    }
    sound = tones.sound;
  } else {
    sound = form.command1_click();
  }
  echo_prompts(window, err);

  out << printable(window.title());
  out.stream().flush();
  // What its spectrum took where the dataset's parameters could not be meant, and what
  // the shifts it reports stand on; or why it has none.
  if (dataset && form.spectrum()) {
    for (const std::string& note : form.spectrum()->notes) err.say(note);
    if (form.spectrum()->in_ppm()) err.say(processing::referencing_text(*form.spectrum()));
  }
  if (!noSpectrum.empty()) err.say("no spectrum: " + noSpectrum);
  if (const auto message = window::no_sound_message(sound)) {
    err.say(*message);
    status = 1;
  }
  // Cut, but made: the sound is there to hear.
  if (const auto message = window::cut_message(sound)) err.say(*message);
  const std::string name = window::sound_name(form.memory().lastFidPath, o.tones);
  Progress progress = [name](const platform::Playback& p) { return window::progress_text(name, p); };
  if (o.hearSpectrum && sound.played()) {
    if (o.answer) window.answers = {*o.answer};  // the speed's question, asked again
    const auto whole = form.whole();
    // The part of the region that the spectrum holds; none of it: nothing is heard.
    const bool outside = region && whole && !(region->left > whole->right && region->right < whole->left);
    if (region && whole && !outside) {
      form.show({std::min(region->left, whole->left), std::max(region->right, whole->right)});
    }
    const auto graph = outside ? std::nullopt : form.command5_click();
    echo_prompts(window, err);
    if (outside) {
      const int decimals = form.spectrum()->in_ppm() ? 2 : 1;
      err.say("the region " + *o.region + " lies outside the spectrum, which runs from " +
              platform::fixed_text(whole->left, decimals) + " to " + platform::fixed_text(whole->right, decimals));
      status = 1;
    } else if (!graph) {
      err.say("no spectrum was drawn for this dataset: there is nothing to hear");
      status = 1;
    } else if (const auto message = window::no_sound_message(*graph)) {
      err.say(*message);
      status = 1;
    } else {
      const spectrum::Trace trace = *form.heard_trace();
      progress = [trace](const platform::Playback& p) {
        return window::hearing_text(spectrum::value_at(trace, p.played, p.length), trace.axis);
      };
    }
  }
  if (multiplet && sound.played()) {
    const auto heard = form.hear_multiplet(static_cast<std::size_t>(*multiplet));
    if (!heard) {
      err.say("the spectrum has no multiplet " + std::to_string(*multiplet) + " (it has " +
              std::to_string(form.multiplets().size()) + ")");
      status = 1;
    } else if (const auto message = window::no_sound_message(heard->sound)) {
      err.say(*message);
      status = 1;
    } else {
      out << window::multiplet_status(*heard) << "\n";
      const std::string said = window::multiplet_status(*heard);
      progress = [said](const platform::Playback&) { return said; };
    }
  }
  // A scratch file printed as it stands; when there is none, why.
  const auto print = [&](const char* path, const char* missing) {
    const std::string text = sound::loadfromfile(files, path);
    out << text;
    out.stream().flush();
    if (text.empty()) {
      err.say(missing);
      status = 1;
    }
  };
  if (o.report) print(common::kScratchReport, "no report: no spectrum was made for this dataset");
  if (o.pictureFile) {
    const auto picture = form.spectrum() ? spectrum::picture_of(*form.spectrum(), form.analysis(), spectrum::signal_range(*form.spectrum(), form.analysis()),
                                                                pictureAsked->format, pictureAsked->size)
                                         : std::nullopt;
    if (!picture) {
      err.say("no picture: no spectrum was made for this dataset");
      status = 1;
    } else {
      platform::Replacement file = files.replace(*o.pictureFile);
      file.file().write(*picture);
      if (const platform::Status saved = file.commit(); !saved) {
        err.say(*o.pictureFile + " could not be written (" + saved.reason() + ")");
        status = 1;
      }
    }
  }
  if (o.peaks) print(common::kScratchPeaks, "no peaks: no spectrum was drawn");
  if (o.viewSpectrum) form.command3_click();
  if (o.archive) {
    // As in the window, only a sound that was made can be archived.
    window.answers = {*o.archive};
    if (!sound.played()) {
      err.say("nothing was archived");
      status = 1;
    } else {
      const archive::ArchiveResult archived = form.command4_click();
      echo_prompts(window, err);
      if (const auto message = window::archive_message(archived)) {
        err.say(*message);
        status = 1;
      }
    }
  }
  if (sound.played()) wait_for_sound(media, progress, err);
  desktop.wait(kDesktopAnswer);
  return status;
}

}  // namespace cli
