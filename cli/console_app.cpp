// The console front end.
#include "cli/console_app.hpp"

#include <optional>
#include <ostream>

#include "cli/console_window.hpp"
#include "cli/options.hpp"
#include "intake/dataset_intake.hpp"
#include "platform/sdl_media.hpp"
#include "platform/text.hpp"
#include "sound/scratch_paths.hpp"
#include "window/form.hpp"

namespace cli {
namespace {

using platform::ToneBox;

void apply_options(const Options& o, ConsoleWindow& window) {
  if (o.f1) window.set_tone_text(ToneBox::First, *o.f1);
  if (o.f2) window.set_tone_text(ToneBox::Second, *o.f2);
  window.set_tone_switch(ToneBox::First, !o.off1);
  window.set_tone_switch(ToneBox::Second, !o.off2);
  if (o.speed) window.set_replay_speed(*o.speed);
}

// The caption as the window shows it: a carriage return starts a new line.
std::string printable(const std::string& caption) {
  std::string text = platform::replace_all(caption, "\r", "\n");
  if (text.empty() || text.back() != '\n') text += '\n';
  return text;
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

  platform::FileSystem files(platform::Drive::from_environment());
  ConsoleWindow window(o.fidPath, o.answer, err);
  platform::SilentMedia silent;
  std::optional<platform::SdlMedia> speaker;
  platform::Media& media = o.play ? speaker.emplace(files.drive()) : static_cast<platform::Media&>(silent);
  platform::XdgShell shell(files.drive());
  platform::Services services{files, window, media, shell};
  window::Form form(services);

  form.prepare_controls();
  apply_options(o, window);
  if (o.viewSpectrum) {
    if (!files.can_open_for_reading(sound::kScratchSpectrum)) {
      err << "fid-song-cli: no spectrum plot in the scratch folder; asked to open it all the same\n";
    }
    form.command3_click();
    return 0;
  }
  int status = 0;
  if (!o.fidPath.empty()) {
    const bool readable = files.can_open_for_reading(intake::dataset_file(files, o.fidPath));
    form.take_command_line();
    if (!readable) {
      err << "fid-song-cli: cannot read " << o.fidPath
          << "; the FID already in the scratch folder was sounded\n";
      status = 1;
    }
  } else if (o.tones) {
    if (const auto refusal = form.command2_click()) {
      err << "fid-song-cli: " << *refusal << "\n";
      return 1;
    }
  } else {
    form.command1_click();
  }

  out << printable(window.title()) << std::flush;
  const bool sounded = window.enabled(platform::Button::Command4);
  if (!sounded) err << "fid-song-cli: no sound was made\n";
  if (o.archive) {
    // As in the window, only a sound that was made can be archived.
    window.set_answer(*o.archive);
    if (!sounded) {
      err << "fid-song-cli: nothing was archived\n";
      status = 1;
    } else if (const auto refusal = form.command4_click()) {
      err << "fid-song-cli: " << *refusal << "\n";
      status = 1;
    }
  }
  media.wait_until_done();
  return status;
}

}  // namespace cli
