// The console front end.
#include "cli/console_app.hpp"

#include <optional>
#include <ostream>

#include "cli/options.hpp"
#include "common/scratch_paths.hpp"
#include "platform/process.hpp"
#include "platform/sdl_media.hpp"
#include "platform/text.hpp"
#include "window/control_state.hpp"
#include "window/form.hpp"
#include "window/messages.hpp"

namespace cli {
namespace {

using platform::ToneBox;

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
  if (o.tones + o.viewSpectrum + !o.fidPath.empty() > 1 || (o.viewSpectrum && o.archive)) {
    err << "fid-song-cli: give one of FID-PATH, --tones and --view-spectrum"
           " (--archive goes with a sound)\n"
        << kUsage;
    return 2;
  }

  std::optional<platform::Drive> drive = platform::Drive::from_environment();
  if (!drive) {
    err << "fid-song-cli: " << window::kNoDriveMessage << "\n";
    return 1;
  }
  platform::FileSystem files(std::move(*drive));
  files.set_waiting_notice([&err] { err << "fid-song-cli: " << window::kWaitingMessage << std::endl; });
  window::ControlState window;
  window.commandLine = o.fidPath;
  window.exeFolder = platform::executable_folder();
  if (o.answer) window.answers = {*o.answer};
  platform::SilentMedia silent;
  std::optional<platform::SdlMedia> speaker;
  platform::Media& media = o.play ? speaker.emplace(files.drive()) : static_cast<platform::Media&>(silent);
  platform::XdgShell shell(files.drive());
  platform::Services services{files, window, media, shell};
  window::Form form(services, {.picture = o.picture});

  form.prepare_controls();
  apply_options(o, window);
  if (o.viewSpectrum) {
    if (!files.can_open_for_reading(common::kScratchSpectrum)) {
      err << "fid-song-cli: no spectrum plot in the scratch folder; asked to open it all the same\n";
    }
    form.command3_click();
    return 0;
  }

  int status = 0;
  sound::SoundResult sound;
  if (!o.fidPath.empty()) {
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
  if (const auto message = window::no_sound_message(sound)) err << "fid-song-cli: " << *message << "\n";
  if (sound.outcome == sound::SoundResult::Outcome::NotWritten) status = 1;
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
  media.wait_until_done();
  return status;
}

}  // namespace cli
