// The status line under the form.
#include "window/qt/status_line.hpp"

#include <QAccessible>

#include "window/qt/qt_window_services.hpp"
#include "window/status.hpp"

namespace window {

StatusLine::StatusLine(QWidget* parent, const platform::Media& media) : QLabel(parent), media_(media) {
  setObjectName(QStringLiteral("StatusLine"));
  setTextFormat(Qt::PlainText);
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setMargin(2);
  setAccessibleDescription(QStringLiteral("What plays, what failed, or how to start"));
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &StatusLine::tick);
  idle();
}

void StatusLine::playing(Describer describe) {
  describe_ = std::move(describe);
  held_ = false;
  if (const auto playback = media_.playing()) {
    show_state(describe_(*playback), false);
    timer_.start();
  } else {
    idle();
  }
}

void StatusLine::failed(const std::string& message) { hold(message, true); }

void StatusLine::notice(const std::string& message) { hold(message, false); }

void StatusLine::hold(const std::string& message, bool alert) {
  held_ = true;
  show_state(message, alert);
  if (media_.playing()) timer_.start();  // to see the sound's end
}

void StatusLine::idle() {
  timer_.stop();
  held_ = false;
  show_state(kIdleStatus, false);
}

void StatusLine::tick() {
  const auto playback = media_.playing();
  if (!playback) {
    idle();
  } else if (!held_ && describe_) {
    setText(caption_text(describe_(*playback)));
  }
}

void StatusLine::show_state(const std::string& text, bool alert) {
  const QString shown = caption_text(text);
  setText(shown);
  setToolTip(shown);
  setAccessibleName(shown);  // announced as a change of name
  if (alert) {
    QAccessibleEvent event(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace window
