// The window's controls held in memory: the console front end's window, and the tests'.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_services.hpp"

namespace window {

class ControlState final : public platform::WindowServices {
 public:
  struct Prompt {
    std::string text;
    std::optional<std::string> default_answer;
    std::string answer;  // what it got; empty: cancelled
  };

  void set_title(const std::string& caption) override { title_text = caption; }
  std::string title() const override { return title_text; }
  std::string replay_speed() const override { return speed; }
  void append_replay_entry(const std::string& entry) override { entries.push_back(entry); }
  void pick_replay_entry(int index) override;
  std::string tone_text(platform::ToneBox box) const override { return tones.at(box); }
  void set_tone_text(platform::ToneBox box, const std::string& text) override { tones[box] = text; }
  bool tone_switch(platform::ToneBox box) const override { return switches.at(box); }
  void enable(platform::Button button, bool on) override { enabled[button] = on; }
  // Answers from the queue, in turn; with none left, the prompt is cancelled.
  std::string prompt(const std::string& text, const std::optional<std::string>& default_answer) override;
  std::string command_line() const override { return commandLine; }
  std::string executable_folder() const override { return exeFolder; }
  // dateTime when set, else now in the user's locale.
  std::string date_time() const override;

  // The controls as the window has them before start-up. The replay speed is free text
  // here, as a script may want one that the list does not offer.
  std::string title_text = "title will appear here";
  std::string speed;
  std::vector<std::string> entries;
  std::map<platform::ToneBox, std::string> tones{{platform::ToneBox::First, "Text1"},
                                                 {platform::ToneBox::Second, "Text1"}};
  std::map<platform::ToneBox, bool> switches{{platform::ToneBox::First, true},
                                             {platform::ToneBox::Second, true}};
  std::map<platform::Button, bool> enabled;  // as last set
  std::deque<std::string> answers;
  std::vector<Prompt> prompts;  // every prompt shown
  std::string commandLine;
  std::string exeFolder;
  std::string dateTime;
};

}  // namespace window
