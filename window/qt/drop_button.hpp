// A push button that takes files dropped on it.
#pragma once

#include <QList>
#include <QPushButton>
#include <QUrl>

namespace window {

class DropButton : public QPushButton {
  Q_OBJECT
 public:
  explicit DropButton(QWidget* parent);

 signals:
  // The dropped data's URL list, in order; only drops that hold one arrive here.
  void urlsDropped(const QList<QUrl>& urls);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace window
