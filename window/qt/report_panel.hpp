// The report under the spectrum's view: the paragraph as journals print it, each
// multiplet a span that a click steps to, and the compound's protons.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "window/form.hpp"

namespace window {

// The report's text, a screen reader's text named "Report".
class ReportText : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit ReportText(QWidget* parent);

 signals:
  void clickedAt(int position);  // a click that selected nothing, at this character
  void copyAsked();              // Ctrl+C, or the menu's "Copy report", with nothing selected

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

class ReportPanel : public QWidget {
  Q_OBJECT
 public:
  ReportPanel(QWidget* parent, Form& form);

  // The form's report shown anew, the multiplet stepped to marked.
  void refresh();
  ReportText* text() const { return text_; }
  QLineEdit* protons() const { return protons_; }

  // The report on the clipboard: as plain text and as HTML.
  void copy() const;

 signals:
  void steppedTo(std::size_t number);  // a click on a multiplet's span: from 1
  void protonsChanged();               // the form's report counted anew

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Each multiplet's span as characters of the shown text.
  std::vector<std::pair<int, int>> spans_;
  Form& form_;
  ReportText* text_;
  QLineEdit* protons_;
  QLabel* unit_;  // "H" beside the protons' box
};

// The report's text as plain text and as HTML, on the clipboard.
void copy_report(const analysis::Report& report);

}  // namespace window
