// What the program's routines need from its window, whatever front end provides it.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The buttons whose enabled state the routines set: "view Spectrum", "archive Data" and
// "hear Spectrum".
enum class Button { Command3, Command4, Command5 };

// The tone boxes: txtF1 with Check1, txtF2 with Check2.
enum class ToneBox { First, Second };

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Caption of Label1; a carriage return in it starts a new line. Reading it back gives
  // exactly the text last set.
  virtual void set_title(const std::string& caption) = 0;
  virtual std::string title() const = 0;

  // Text of the picked entry of Combo1.
  virtual std::string replay_speed() const = 0;
  virtual void append_replay_entry(const std::string& entry) = 0;
  virtual void pick_replay_entry(int index) = 0;

  virtual std::string tone_text(ToneBox box) const = 0;
  virtual void set_tone_text(ToneBox box, const std::string& text) = 0;
  virtual bool tone_switch(ToneBox box) const = 0;

  virtual void enable(Button button, bool enabled) = 0;

  // A modal input box without a title of its own; the typed text, empty on cancel.
  virtual std::string prompt(const std::string& text,
                             const std::optional<std::string>& default_answer) = 0;

  // The program's arguments as one text, empty when there are none.
  virtual std::string command_line() const = 0;
  // Folder of the running program, without a trailing separator.
  virtual std::string executable_folder() const = 0;
  // Short date, one blank, long time, as the user's locale writes them.
  virtual std::string date_time() const = 0;
};

}  // namespace platform
