// The window services over the Qt window's controls.
#pragma once

#include <QString>
#include <string>

#include "platform/window_services.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace window {

struct Controls {
  QWidget* window;
  QLabel* label1;
  QComboBox* combo1;
  QLineEdit* txtF1;
  QLineEdit* txtF2;
  QCheckBox* check1;
  QCheckBox* check2;
  QPushButton* command3;
  QPushButton* command4;
  QPushButton* command5;
};

// How Label1, the status line and the message boxes show a text: UTF-8 where valid,
// Latin-1 otherwise, a carriage return (or CR LF) as a line break, every other control
// character escaped (see visible_text), and no more than a label could ever show, so that
// a huge title does not stall the window while it is laid out.
QString caption_text(const std::string& caption);

class QtWindowServices final : public platform::WindowServices {
 public:
  QtWindowServices(const Controls& controls, std::string commandLine)
      : c_(controls), commandLine_(std::move(commandLine)) {}

  void set_title(const std::string& caption) override;
  std::string title() const override { return title_; }
  std::string replay_speed() const override;
  void append_replay_entry(const std::string& entry) override;
  void pick_replay_entry(int index) override;
  std::string tone_text(platform::ToneBox box) const override;
  void set_tone_text(platform::ToneBox box, const std::string& text) override;
  bool tone_switch(platform::ToneBox box) const override;
  void enable(platform::Button button, bool enabled) override;
  std::string prompt(const std::string& text,
                     const std::optional<std::string>& default_answer) override;
  std::string command_line() const override { return commandLine_; }
  std::string executable_folder() const override;
  std::string date_time() const override;

 private:
  QLineEdit* box(platform::ToneBox box) const;

  Controls c_;
  std::string commandLine_;
  std::string title_;  // the bytes last set, which the label shows decoded
};

}  // namespace window
