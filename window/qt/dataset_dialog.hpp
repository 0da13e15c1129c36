// The Open dialog for a dataset: its fid, its ser, or its folder.
#pragma once

#include <QFileDialog>
#include <optional>
#include <string>

namespace window {

// A file dialog in which "Open" on a dataset's folder (one that holds a fid or a ser)
// takes the folder, where a plain file dialog would only go into it.
class DatasetDialog : public QFileDialog {
  Q_OBJECT
 public:
  explicit DatasetDialog(QWidget* parent);
  // The path chosen, or nothing when the user cancelled.
  static std::optional<std::string> choose(QWidget* parent);

 protected:
  void accept() override;

 private:
  QString folder_;
};

}  // namespace window
