// The window's controls held in memory, for the console front end.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_services.hpp"

namespace cli {

class ConsoleWindow final : public platform::WindowServices {
 public:
  // answer: what is typed into every prompt; without one, prompts are cancelled.
  // Each prompt is echoed to log so that a user sees what was asked.
  ConsoleWindow(std::string commandLine, std::optional<std::string> answer, std::ostream& log)
      : commandLine_(std::move(commandLine)), answer_(std::move(answer)), log_(log) {}

  void set_title(const std::string& caption) override { title_ = caption; }
  std::string title() const override { return title_; }

  std::string replay_speed() const override { return speed_; }
  void append_replay_entry(const std::string& entry) override { entries_.push_back(entry); }
  void pick_replay_entry(int index) override;
  // Free text, as a script may want a speed that the list does not offer.
  void set_replay_speed(const std::string& speed) { speed_ = speed; }

  std::string tone_text(platform::ToneBox box) const override { return tones_.at(box); }
  void set_tone_text(platform::ToneBox box, const std::string& text) override { tones_[box] = text; }
  bool tone_switch(platform::ToneBox box) const override { return switches_.at(box); }
  void set_tone_switch(platform::ToneBox box, bool on) { switches_[box] = on; }

  void enable(platform::Button button, bool enabled) override { enabled_[button] = enabled; }
  bool enabled(platform::Button button) const { return enabled_.at(button); }

  std::string prompt(const std::string& text,
                     const std::optional<std::string>& default_answer) override;
  void set_answer(std::optional<std::string> answer) { answer_ = std::move(answer); }

  std::string command_line() const override { return commandLine_; }
  std::string executable_folder() const override;
  std::string date_time() const override;

 private:
  std::string commandLine_;
  std::optional<std::string> answer_;
  std::ostream& log_;
  std::string title_ = "title will appear here";
  std::vector<std::string> entries_;
  std::string speed_;
  std::map<platform::ToneBox, std::string> tones_{{platform::ToneBox::First, "Text1"},
                                                  {platform::ToneBox::Second, "Text1"}};
  std::map<platform::ToneBox, bool> switches_{{platform::ToneBox::First, true},
                                              {platform::ToneBox::Second, true}};
  std::map<platform::Button, bool> enabled_{{platform::Button::Command3, true},
                                            {platform::Button::Command4, true}};
};

}  // namespace cli
