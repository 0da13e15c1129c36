// Opening a document through QDesktopServices.
#include "window/qt/qt_shell.hpp"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace window {

void QtShell::shellopen(const std::string& url, std::int16_t /*mode*/) {
  const std::string path = drive_.resolve(url).string();
  if (!path.empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

}  // namespace window
