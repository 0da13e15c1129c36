// The Open dialog for a dataset.
#include "window/qt/dataset_dialog.hpp"

#include <QFile>
#include <QFileInfo>

namespace window {

DatasetDialog::DatasetDialog(QWidget* parent, FolderTest isDataset)
    : QFileDialog(parent, QStringLiteral("Take in a dataset")), isDataset_(std::move(isDataset)) {
  setFileMode(QFileDialog::ExistingFile);
  setOption(QFileDialog::DontUseNativeDialog);  // accept() below must see the choice
  setNameFilters({QStringLiteral("Spectrometer data (fid ser data.1d data.2d *.jdf *.JDF *.jdx *.JDX *.dx *.DX)"),
                  QStringLiteral("Every file (*)")});
  setLabelText(QFileDialog::Accept, QStringLiteral("Take in"));
}

void DatasetDialog::accept() {
  const QStringList chosen = selectedFiles();
  if (chosen.size() == 1 && QFileInfo(chosen.front()).isDir() && isDataset_(QFile::encodeName(chosen.front()).toStdString())) {
    folder_ = chosen.front();
    done(QDialog::Accepted);
    return;
  }
  QFileDialog::accept();
}

std::optional<std::string> DatasetDialog::choose(QWidget* parent, FolderTest isDataset) {
  DatasetDialog dialog(parent, std::move(isDataset));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString path = !dialog.folder_.isEmpty() ? dialog.folder_ : dialog.selectedFiles().value(0);
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}

}  // namespace window
