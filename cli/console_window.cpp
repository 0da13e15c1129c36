// The window's controls held in memory, for the console front end.
#include "cli/console_window.hpp"

#include <ostream>

#include "platform/process.hpp"

namespace cli {

void ConsoleWindow::pick_replay_entry(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < entries_.size()) speed_ = entries_[index];
}

std::string ConsoleWindow::prompt(const std::string& text,
                                  const std::optional<std::string>& default_answer) {
  log_ << text;
  if (default_answer) log_ << " [" << *default_answer << "]";
  log_ << " " << (answer_ ? *answer_ : "(cancelled: no --answer given)") << "\n";
  return answer_.value_or("");
}

std::string ConsoleWindow::executable_folder() const { return platform::executable_folder(); }

std::string ConsoleWindow::date_time() const { return platform::local_date_time(); }

}  // namespace cli
