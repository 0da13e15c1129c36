// The window's controls held in memory.
#include "window/control_state.hpp"

#include "platform/clock.hpp"

namespace window {

void ControlState::pick_replay_entry(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < entries.size()) speed = entries[static_cast<std::size_t>(index)];
}

std::string ControlState::prompt(const std::string& text, const std::optional<std::string>& default_answer) {
  std::string answer;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  prompts.push_back({text, default_answer, answer});
  return answer;
}

std::string ControlState::date_time() const {
  return dateTime.empty() ? platform::local_date_time() : dateTime;
}

}  // namespace window
