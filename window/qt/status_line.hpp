// The status line under the form: what plays and how far, what failed and why, or how
// to start; screen readers are told when it changes.
#pragma once

#include <QLabel>
#include <QTimer>
#include <string>

#include "platform/media.hpp"

namespace window {

class StatusLine : public QLabel {
  Q_OBJECT
 public:
  StatusLine(QWidget* parent, const platform::Media& media);

  // A sound has started: its progress is shown while it plays, then how to start.
  void playing(const std::string& what);
  // What failed and why, until the next sound or the end of the one that plays.
  void failed(const std::string& message);
  // How to start.
  void idle();

 private:
  void tick();
  // Shows text; a new state is announced to screen readers (the progress of a sound,
  // ten times a second, is not), a failure as an alert.
  void show_state(const std::string& text, bool alert);

  const platform::Media& media_;
  QTimer timer_;
  std::string what_;
  bool failure_ = false;
};

}  // namespace window
