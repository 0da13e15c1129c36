// fid-song: the window.
#include <QApplication>
#include <QMessageBox>
#include <string>

#include "platform/file_system.hpp"
#include "platform/interruption.hpp"
#include "platform/sdl_media.hpp"
#include "window/messages.hpp"
#include "window/qt/main_window.hpp"

int main(int argc, char** argv) {
  // Before Qt starts its threads: an interrupted run leaves no temporary file behind.
  platform::end_cleanly_on_interruption();
  // The command line is read before Qt sees it: the whole text is one dataset path.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  std::optional<platform::Drive> drive = platform::Drive::from_environment();
  if (!drive) {
    QMessageBox::critical(nullptr, QStringLiteral("FID-Song"), QString::fromUtf8(window::kNoDriveMessage));
    return 1;
  }
  platform::FileSystem files(std::move(*drive));
  platform::SdlMedia media(files.drive());
  window::MainWindow window(files, media, commandLine);
  window.startup();
  window.show();
  return app.exec();
}
