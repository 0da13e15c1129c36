// A push button that takes files dropped on it.
#include "window/qt/drop_button.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace window {

DropButton::DropButton(QWidget* parent) : QPushButton(parent) { setAcceptDrops(true); }

void DropButton::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void DropButton::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  emit urlsDropped(event->mimeData()->urls());
}

}  // namespace window
