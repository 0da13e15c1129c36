// The window services over the Qt window's controls.
#include "window/qt/qt_window_services.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>

#include "platform/clock.hpp"
#include "platform/process.hpp"
#include "platform/text.hpp"
#include "window/visible_text.hpp"

namespace window {
namespace {

// Far more than Label1's area holds: about seven lines of fifty characters.
constexpr qsizetype kShownCharacters = 4096;

QString text_of(const std::string& bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(view);
  return utf8.hasError() ? QString::fromLatin1(view) : text;
}

}  // namespace

QString caption_text(const std::string& caption) {
  // Carriage returns first become line breaks; every other control is shown escaped.
  const std::string lines = platform::replace_all(
      platform::replace_all(caption.substr(0, 4 * static_cast<std::size_t>(kShownCharacters)), "\r\n", "\n"),
      "\r", "\n");
  QString text = text_of(visible_text(lines));
  text.truncate(kShownCharacters);
  return text;
}

void QtWindowServices::set_title(const std::string& caption) {
  title_ = caption;
  // The window's content, as a screen reader reads it: what is shown.
  const QString shown = caption_text(caption);
  c_.label1->setText(shown);
  c_.label1->setAccessibleName(shown);
}

std::string QtWindowServices::replay_speed() const {
  return c_.combo1->currentText().toStdString();
}

void QtWindowServices::append_replay_entry(const std::string& entry) {
  c_.combo1->addItem(QString::fromStdString(entry));
}

void QtWindowServices::pick_replay_entry(int index) { c_.combo1->setCurrentIndex(index); }

QLineEdit* QtWindowServices::box(platform::ToneBox box) const {
  return box == platform::ToneBox::First ? c_.txtF1 : c_.txtF2;
}

std::string QtWindowServices::tone_text(platform::ToneBox which) const {
  return box(which)->text().toStdString();
}

void QtWindowServices::set_tone_text(platform::ToneBox which, const std::string& text) {
  box(which)->setText(QString::fromStdString(text));
}

bool QtWindowServices::tone_switch(platform::ToneBox box) const {
  return (box == platform::ToneBox::First ? c_.check1 : c_.check2)->isChecked();
}

void QtWindowServices::enable(platform::Button button, bool enabled) {
  QPushButton* const buttons[] = {c_.command3, c_.command4, c_.command5};
  buttons[static_cast<int>(button)]->setEnabled(enabled);
}

std::string QtWindowServices::prompt(const std::string& text,
                                     const std::optional<std::string>& default_answer) {
  QInputDialog dialog(c_.window);
  dialog.setWindowTitle(QString());
  dialog.setLabelText(QString::fromStdString(text));
  if (default_answer) dialog.setTextValue(QString::fromStdString(*default_answer));
  return dialog.exec() == QDialog::Accepted ? dialog.textValue().toStdString() : std::string();
}

std::string QtWindowServices::executable_folder() const { return platform::executable_folder(); }

std::string QtWindowServices::date_time() const { return platform::local_date_time(); }

}  // namespace window
