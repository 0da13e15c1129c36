// The Open dialog for a dataset: its data file, or its folder.
#pragma once

#include <QFileDialog>
#include <functional>
#include <optional>
#include <string>

namespace window {

// A file dialog in which "Open" on a dataset's folder takes the folder, where a plain
// file dialog would only go into it.
class DatasetDialog : public QFileDialog {
  Q_OBJECT
 public:
  // Whether a folder stands for a dataset (holds a data file that intake would take).
  using FolderTest = std::function<bool(const std::string& folder)>;
  DatasetDialog(QWidget* parent, FolderTest isDataset);
  // The path chosen, or nothing when the user cancelled.
  static std::optional<std::string> choose(QWidget* parent, FolderTest isDataset);

 protected:
  void accept() override;

 private:
  FolderTest isDataset_;
  QString folder_;
};

}  // namespace window
