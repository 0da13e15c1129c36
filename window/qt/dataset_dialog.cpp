// The Open dialog for a dataset.
#include "window/qt/dataset_dialog.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace window {

DatasetDialog::DatasetDialog(QWidget* parent) : QFileDialog(parent, QStringLiteral("Take in a dataset")) {
  setFileMode(QFileDialog::ExistingFile);
  setOption(QFileDialog::DontUseNativeDialog);  // accept() below must see the choice
  setNameFilters({QStringLiteral("Spectrometer data (fid ser)"), QStringLiteral("Every file (*)")});
  setLabelText(QFileDialog::Accept, QStringLiteral("Take in"));
}

void DatasetDialog::accept() {
  const QStringList chosen = selectedFiles();
  if (chosen.size() == 1) {
    const QDir folder(chosen.front());
    if (QFileInfo(chosen.front()).isDir() && (folder.exists(QStringLiteral("fid")) || folder.exists(QStringLiteral("ser")))) {
      folder_ = chosen.front();
      done(QDialog::Accepted);
      return;
    }
  }
  QFileDialog::accept();
}

std::optional<std::string> DatasetDialog::choose(QWidget* parent) {
  DatasetDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString path = !dialog.folder_.isEmpty() ? dialog.folder_ : dialog.selectedFiles().value(0);
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}

}  // namespace window
