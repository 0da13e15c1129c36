// The program's one window: its controls, start-up and the events that reach the handlers.
#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/media.hpp"
#include "window/form.hpp"
#include "window/qt/qt_shell.hpp"
#include "window/qt/qt_window_services.hpp"

namespace window {

class DropButton;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  // commandLine: the program's arguments joined by blanks, taken in by startup().
  MainWindow(platform::FileSystem& files, platform::Media& media, std::string commandLine);

  // Runs once, before the window is first shown.
  void startup() { (void)form_->startup(); }

 private:
  Controls build_controls();
  void drop_on_command1(const QList<QUrl>& urls);
  void click_command2();
  void click_command4();
  void show_refusal(const std::optional<std::string>& refusal);

  DropButton* command1_ = nullptr;
  std::unique_ptr<QtWindowServices> windowServices_;
  QtShell shell_;
  std::unique_ptr<platform::Services> services_;
  std::unique_ptr<Form> form_;
};

}  // namespace window
