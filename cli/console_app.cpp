// The console front end.
#include "cli/console_app.hpp"

#include <unistd.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/options.hpp"
#include "platform/process.hpp"
#include "platform/sdl_media.hpp"
#include "platform/text.hpp"
#include "window/control_state.hpp"
#include "window/form.hpp"
#include "window/messages.hpp"
#include "window/status.hpp"

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

// The caption as the window shows it: a carriage return starts a new line.
std::string printable(const std::string& caption) {
  std::string text = platform::replace_all(caption, "\r", "\n");
  if (text.empty() || text.back() != '\n') text += '\n';
  return text;
}

// Each question asked, with the answer it got, so that a user sees what was asked.
void echo_prompts(window::ControlState& window, std::ostream& err) {
  for (const auto& p : window.prompts) {
    err << p.text;
    if (p.default_answer) err << " [" << *p.default_answer << "]";
    err << " " << (p.answer.empty() ? "(cancelled: no answer given)" : p.answer) << "\n";
  }
  window.prompts.clear();
}

// Waits for the sound's end; on a terminal, with a line that says how far it has got.
void wait_for_sound(platform::Media& media, const std::string& what, std::ostream& err) {
  if (::isatty(STDERR_FILENO)) {
    std::size_t shown = 0;
    while (const auto playback = media.playing()) {
      const std::string line = window::progress_text(what, *playback);
      err << '\r' << line << std::string(shown > line.size() ? shown - line.size() : 0, ' ') << std::flush;
      shown = line.size();
      std::this_thread::sleep_for(100ms);
    }
    if (shown > 0) err << '\n';
  }
  media.wait_until_done();
}

}  // namespace

int run_console(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto parsed = parse_options(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    err << "fid-song-cli: " << *error << "\n" << kUsage;
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
  if ((o.tones && dataset) || (o.viewSpectrum && !dataset && (o.tones || o.archive))) {
    err << "fid-song-cli: give one of FID-PATH and --tones; --view-spectrum without FID-PATH"
           " opens the plot already in the scratch folder, and makes no sound to archive\n"
        << kUsage;
    return 2;
  }

  std::optional<platform::Drive> drive = platform::Drive::from_environment();
  if (!drive) {
    err << "fid-song-cli: " << window::kNoDriveMessage << "\n";
    return 1;
  }
  int status = 0;
  platform::FileSystem files(std::move(*drive));
  files.set_waiting_notice([&err] { err << "fid-song-cli: " << window::kWaitingMessage << std::endl; });
  window::ControlState window;
  window.commandLine = o.fidPath;
  window.exeFolder = platform::executable_folder();
  if (o.answer) window.answers = {*o.answer};
  platform::SilentMedia silent;
  std::optional<platform::SdlMedia> speaker;
  platform::Media& media = o.play ? speaker.emplace(files.drive()) : static_cast<platform::Media&>(silent);
  platform::XdgShell desktop(files.drive(), [&](const std::string& path, int code) {
    err << "fid-song-cli: " << window::desktop_message(path, code) << "\n";
    status = 1;
  });
  KeptShell kept;
  platform::Shell& shell = o.open ? static_cast<platform::Shell&>(desktop) : kept;
  platform::Services services{files, window, media, shell};
  window::Form form(services, {.picture = o.picture});

  form.prepare_controls();
  apply_options(o, window);
  if (o.viewSpectrum && !dataset) {
    form.command3_click();
    desktop.wait(kDesktopAnswer);
    return status;
  }

  sound::SoundResult sound;
  if (dataset) {
    const intake::IntakeResult intake = *form.take_command_line();
    if (const auto message = window::unreadable_message(intake)) {
      err << "fid-song-cli: " << *message << "\n";
      status = 1;
    }
    sound = intake.sound;
  } else if (o.tones) {
    const window::ToneTestResult tones = form.command2_click();
    if (tones.refused) {
      err << "fid-song-cli: " << window::tone_refusal_message(*tones.refused) << "\n";
      return 1;
    }
    sound = tones.sound;
  } else {
    sound = form.command1_click();
  }
  echo_prompts(window, err);

  out << printable(window.title()) << std::flush;
  if (const auto message = window::no_sound_message(sound)) {
    err << "fid-song-cli: " << *message << "\n";
    status = 1;
  }
  if (o.viewSpectrum) form.command3_click();
  if (o.archive) {
    // As in the window, only a sound that was made can be archived.
    window.answers = {*o.archive};
    if (!sound.played()) {
      err << "fid-song-cli: nothing was archived\n";
      status = 1;
    } else {
      const archive::ArchiveResult archived = form.command4_click();
      echo_prompts(window, err);
      if (const auto message = window::archive_message(archived)) {
        err << "fid-song-cli: " << *message << "\n";
        status = 1;
      }
    }
  }
  if (sound.played()) wait_for_sound(media, window::sound_name(form.memory().lastFidPath, o.tones), err);
  desktop.wait(kDesktopAnswer);
  return status;
}

}  // namespace cli
