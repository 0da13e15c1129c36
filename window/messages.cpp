// What the front ends tell the user about what a routine did.
#include "window/messages.hpp"

namespace window {

std::optional<std::string> no_sound_message(const sound::SoundResult& result) {
  using Outcome = sound::SoundResult::Outcome;
  const std::string decimalPoint = " (the decimal point is \".\")";
  switch (result.outcome) {
    case Outcome::Played:
      return std::nullopt;
    case Outcome::Cancelled:
      return "\"Multiplier?\" was cancelled; no sound was made.";
    case Outcome::NotANumber:
      return "\"" + result.answer + "\" is not a number" + decimalPoint + "; no sound was made.";
    case Outcome::NoPositiveRate:
      // "0,5" reads as 0: the comma is the likely slip.
      return (result.answer.empty() ? std::string("The replay speed")
                                    : "The multiplier \"" + result.answer + "\"") +
             " gives no positive sample rate" +
             (result.answer.find(',') != std::string::npos ? decimalPoint : "") +
             "; no sound was made.";
    case Outcome::RateTooLarge:
      return "The replay speed gives a sample rate too large to write; no sound was made.";
    case Outcome::TooLong:
      return "At this replay speed the spectrum would last more than an hour; no sound was made.";
    case Outcome::NotWritten:
      return "The sound could not be written (" + result.written.reason() +
             "); the previous sound and listing are kept.";
  }
  return std::nullopt;
}

std::optional<std::string> cut_message(const sound::SoundResult& result) {
  if (!result.cut) return std::nullopt;
  return "The sound was cut after " + std::to_string(result.cut->made) + " of its " +
         std::to_string(result.cut->held) + " samples: a WAVE file holds no more.";
}

std::string tone_refusal_message(platform::ToneBox box) {
  return std::string(box == platform::ToneBox::First ? "The first tone (txtF1)" : "The second tone (txtF2)") +
         " must lie between -32768 and 32767 Hz; the tone test was not played.";
}

std::optional<std::string> unreadable_message(const intake::IntakeResult& result) {
  if (!result.refusal.empty()) {
    return "Could not read " + result.dataFile + ": " + result.refusal + ". The previous dataset stays as it was.";
  }
  if (result.copied) return std::nullopt;
  return "Could not read " + result.dataFile + ": " + result.copied.reason() +
         ". Still sounding the previous dataset.";
}

std::string desktop_message(const std::string& path, int status) {
  return "The desktop could not open " + path +
         (status < 0 ? " (xdg-open could not be started)." : " (xdg-open ended with status " + std::to_string(status) + ").");
}

std::optional<std::string> archive_message(const archive::ArchiveResult& result) {
  using Outcome = archive::ArchiveResult::Outcome;
  if (result.outcome == Outcome::Refused) {
    return "\"" + result.name + "\" leads out of c:\\temp\\fidsong\\; nothing was archived.";
  }
  if (result.outcome == Outcome::Failed) {
    return "Nothing was archived under \"" + result.name + "\" in c:\\temp\\fidsong\\: " +
           result.status.reason() + ".";
  }
  return std::nullopt;
}

}  // namespace window
