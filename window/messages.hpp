// What the front ends tell the user about what a routine did, in a chemist's words.
#pragma once

#include <optional>
#include <string>

#include "archive/archive_page.hpp"
#include "intake/dataset_intake.hpp"
#include "platform/window_services.hpp"
#include "sound/sound_request.hpp"

namespace window {

// Why a sound request made no sound; nothing when it made one.
std::optional<std::string> no_sound_message(const sound::SoundResult& result);

// That the sound was cut where a WAVE file is full; nothing when it is whole.
std::optional<std::string> cut_message(const sound::SoundResult& result);

// Why the tone test was refused: the box and the range.
std::string tone_refusal_message(platform::ToneBox box);

// Why the data file given could not be taken in, and that the previous one was sounded
// (or, for a file refused, stays as it was); nothing when it was taken in.
std::optional<std::string> unreadable_message(const intake::IntakeResult& result);

// Why the program has no drive folder for its scratch files.
inline constexpr const char* kNoDriveMessage =
    "Cannot place the drive folder: XDG_DATA_HOME and HOME are both unset or not absolute "
    "paths, and the current folder is no place for it.";

// Said when another run has held the scratch folder for a second, and this one waits.
inline constexpr const char* kWaitingMessage =
    "Waiting for another FID-Song to finish with the scratch folder...";

// That the desktop could not open a document: xdg-open's exit status (-1: not started).
std::string desktop_message(const std::string& path, int status);

// Why nothing was archived under the name given; nothing when archived or cancelled.
std::optional<std::string> archive_message(const archive::ArchiveResult& result);

}  // namespace window
