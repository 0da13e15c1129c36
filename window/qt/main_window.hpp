// The program's one window: its controls, start-up and the events that reach the handlers.
#pragma once

#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class QPushButton;
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/media.hpp"
#include "platform/shell.hpp"
#include "window/form.hpp"
#include "window/qt/qt_window_services.hpp"

namespace window {

class DropButton;
class ReportPanel;
class SpectrumView;
class StatusLine;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  // commandLine: the program's arguments joined by blanks, taken in by startup().
  MainWindow(platform::FileSystem& files, platform::Media& media, std::string commandLine);
  ~MainWindow() override;

  // Runs once, before the window is first shown.
  void startup();

  // A path asked of the user: a dialog's answer (nothing when cancelled), or in tests an
  // answer of their own. Ctrl+O asks for a dataset, Ctrl+Shift+S for a picture's name.
  using PathChooser = std::function<std::optional<std::string>()>;
  void set_dataset_chooser(PathChooser chooser) { chooser_ = std::move(chooser); }
  void set_picture_chooser(PathChooser chooser) { pictureChooser_ = std::move(chooser); }

  // Whether the spectrum of the dataset last taken in is still being worked out.
  bool spectrum_pending() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  Controls build_controls();
  void describe_controls(const Controls& c, QWidget* command2);
  void add_shortcuts(const Controls& c, QPushButton* command2);
  void drop_on_command1(const QList<QUrl>& urls);
  void open_dataset();
  void click_command2();
  void click_command4();
  void click_command5();
  void step(int direction);
  // The form's spectrum shown (the window grows to show it the first time) and drawn anew.
  void show_spectrum();
  // The last dataset's spectrum work has finished: its spectrum shown.
  void spectrum_ready();
  // What a step to a multiplet or peak did: shown, its sweep followed, its sound told.
  void stepped(const std::optional<Step>& step);
  // "Save picture...": the region shown, as SVG, PDF or PNG.
  void save_picture();
  void place_view();  // under the form, the window's whole width and the rest of its height
  // The playhead follows the FID's sound that has just started.
  void follow_fid(const sound::SoundResult& sound);
  // Tells what a routine did: the status line, and a message box where the user asked
  // for something that did not happen.
  void tell(const sound::SoundResult& sound, bool tones);
  // name: what the status line calls the sound while it plays.
  void tell_sound(const sound::SoundResult& sound, const std::string& name);
  void tell(const std::optional<intake::IntakeResult>& intake);
  void warn(const std::string& message);
  void desktop_failed(const std::string& path, int status);
  void await_desktop();

  platform::Media& media_;
  DropButton* command1_ = nullptr;
  StatusLine* status_ = nullptr;
  SpectrumView* view_ = nullptr;
  ReportPanel* report_ = nullptr;
  std::unique_ptr<QtWindowServices> windowServices_;
  platform::XdgShell shell_;
  QTimer openers_;  // collects xdg-open's exit statuses while any is awaited
  std::unique_ptr<platform::Services> services_;
  std::unique_ptr<Form> form_;
  PathChooser chooser_;
  PathChooser pictureChooser_;
};

}  // namespace window
