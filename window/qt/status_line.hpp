// The status line under the form: what plays and how far, what failed and why, or how
// to start; screen readers are told when it changes.
#pragma once

#include <QLabel>
#include <QTimer>
#include <functional>
#include <string>

#include "platform/media.hpp"

namespace window {

class StatusLine : public QLabel {
  Q_OBJECT
 public:
  StatusLine(QWidget* parent, const platform::Media& media);

  // What a sound that plays is, given how far it has got.
  using Describer = std::function<std::string(const platform::Playback&)>;
  // A sound has started: described while it plays (announced once, as it starts), then
  // how to start.
  void playing(Describer describe);
  // What failed and why (announced as an alert), or a notice, until the next sound or
  // the end of the one that plays.
  void failed(const std::string& message);
  void notice(const std::string& message);
  // How to start.
  void idle();

 private:
  void tick();
  void hold(const std::string& message, bool alert);
  // Shows text; a new state is announced to screen readers (the progress of a sound,
  // ten times a second, is not), a failure as an alert.
  void show_state(const std::string& text, bool alert);

  const platform::Media& media_;
  QTimer timer_;
  Describer describe_;
  bool held_ = false;
};

}  // namespace window
