// Window services held in plain fields, with queued prompt answers, for tests.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/media.hpp"
#include "platform/shell.hpp"
#include "platform/window_services.hpp"

namespace testsupport {

class FakeWindow final : public platform::WindowServices {
 public:
  struct Prompt {
    std::string text;
    std::optional<std::string> default_answer;
  };

  void set_title(const std::string& caption) override { title_text = caption; }
  std::string title() const override { return title_text; }
  std::string replay_speed() const override { return speed; }
  void append_replay_entry(const std::string& entry) override { entries.push_back(entry); }
  void pick_replay_entry(int index) override { speed = entries.at(static_cast<std::size_t>(index)); }
  std::string tone_text(platform::ToneBox box) const override { return tones.at(box); }
  void set_tone_text(platform::ToneBox box, const std::string& text) override { tones[box] = text; }
  bool tone_switch(platform::ToneBox box) const override { return switches.at(box); }
  void enable(platform::Button button, bool on) override { enabled[button] = on; }
  // Answers from the queue; an empty queue cancels.
  std::string prompt(const std::string& text, const std::optional<std::string>& def) override {
    prompts.push_back({text, def});
    if (answers.empty()) return "";
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::string command_line() const override { return commandLine; }
  std::string executable_folder() const override { return exeFolder; }
  std::string date_time() const override { return dateTime; }

  std::string title_text = "title will appear here";
  std::string speed = "x 1";
  std::vector<std::string> entries;
  std::map<platform::ToneBox, std::string> tones{{platform::ToneBox::First, "440"},
                                                 {platform::ToneBox::Second, "445"}};
  std::map<platform::ToneBox, bool> switches{{platform::ToneBox::First, true},
                                             {platform::ToneBox::Second, true}};
  std::map<platform::Button, bool> enabled;
  std::deque<std::string> answers;
  std::vector<Prompt> prompts;
  std::string commandLine;
  std::string exeFolder;
  std::string dateTime = "12/8/26 4:57:22 AM";
};

// Records what it was asked to open.
class RecordingShell final : public platform::Shell {
 public:
  void shellopen(const std::string& url, std::int16_t mode) override { opened.push_back({url, mode}); }
  std::vector<std::pair<std::string, std::int16_t>> opened;
};

// Records what it was asked to play.
class RecordingMedia final : public platform::Media {
 public:
  void play(std::string_view path) override { played.emplace_back(path); }
  void wait_until_done() override {}
  std::vector<std::string> played;
};

}  // namespace testsupport
