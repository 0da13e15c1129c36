// The report under the spectrum's view.
#include "window/qt/report_panel.hpp"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>

#include "analysis/report.hpp"

namespace window {
namespace {

constexpr int kMargin = 4;
constexpr int kBoxWidth = 44;
constexpr int kMostProtons = 999;

}  // namespace

void copy_report(const analysis::Report& report) {
  auto* data = new QMimeData;
  data->setText(QString::fromStdString(report.text));
  data->setHtml(QString::fromStdString(analysis::report_html(report.text)));
  QApplication::clipboard()->setMimeData(data);
}

ReportText::ReportText(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("Report"));
  setAccessibleName(QStringLiteral("Report"));
  setReadOnly(true);
  setTabChangesFocus(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setToolTip(QStringLiteral("The report as journals print it: a click on a multiplet steps to it; Ctrl+C copies it "
                            "(as text and as formatted text)."));
}

void ReportText::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && !textCursor().hasSelection()) {
    emit clickedAt(cursorForPosition(event->position().toPoint()).position());
  }
}

void ReportText::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && !textCursor().hasSelection()) {
    emit copyAsked();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void ReportText::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->addAction(QStringLiteral("Copy report"), this, &ReportText::copyAsked);
  menu->exec(event->globalPos());
  delete menu;
}

ReportPanel::ReportPanel(QWidget* parent, Form& form)
    : QWidget(parent), form_(form), text_(new ReportText(this)), protons_(new QLineEdit(this)),
      unit_(new QLabel(QStringLiteral("H"), this)) {
  setObjectName(QStringLiteral("ReportPanel"));
  protons_->setObjectName(QStringLiteral("Protons"));
  protons_->setAccessibleName(QStringLiteral("Protons"));
  protons_->setToolTip(QStringLiteral("The compound's protons: the integrals add up to them (empty: as they tell)."));
  protons_->setAcceptDrops(false);
  unit_->setObjectName(QStringLiteral("ProtonsUnit"));
  unit_->setBuddy(protons_);
  // Empty, or a whole number of protons; anything else gives back what was there.
  connect(protons_, &QLineEdit::editingFinished, this, [this] {
    const QString typed = protons_->text().trimmed();
    bool number = false;
    const int value = typed.toInt(&number);
    if (!typed.isEmpty() && (!number || value < 1 || value > kMostProtons)) {
      refresh();
      return;
    }
    const std::optional<int> given = typed.isEmpty() ? std::nullopt : std::optional<int>(value);
    if (given == form_.protons()) return;
    if (form_.set_protons(given)) {
      refresh();
      emit protonsChanged();
    }
  });
  connect(text_, &ReportText::copyAsked, this, &ReportPanel::copy);
  connect(text_, &ReportText::clickedAt, this, [this](int position) {
    for (std::size_t k = 0; k < spans_.size(); ++k) {
      if (position >= spans_[k].first && position < spans_[k].second) emit steppedTo(k + 1);
    }
  });
  QWidget::setTabOrder(text_, protons_);
}

void ReportPanel::resizeEvent(QResizeEvent*) {
  const int box = kBoxWidth, line = protons_->sizeHint().height();
  text_->setGeometry(0, 0, std::max(1, width() - box - 3 * kMargin), height());
  protons_->setGeometry(width() - box - kMargin, kMargin, box - kMargin - fontMetrics().horizontalAdvance(QStringLiteral("H ")), line);
  unit_->setGeometry(protons_->geometry().right() + kMargin, kMargin, fontMetrics().horizontalAdvance(QStringLiteral("H ")), line);
}

void ReportPanel::copy() const { copy_report(form_.report()); }

void ReportPanel::refresh() {
  const analysis::Report& report = form_.report();
  const QString text = QString::fromStdString(report.text);
  if (text != text_->toPlainText()) text_->setPlainText(text);
  spans_.clear();
  for (const analysis::Report::Span& s : report.multiplets) {
    // Bytes of UTF-8 as characters of the text.
    spans_.emplace_back(QString::fromStdString(report.text.substr(0, s.begin)).size(),
                        QString::fromStdString(report.text.substr(0, s.end)).size());
  }
  int protons = 0;
  for (const analysis::Multiplet& m : form_.multiplets()) protons += m.protons;
  const auto count = form_.multiplets().size();
  text_->setAccessibleDescription(
      count == 0 ? QString()
                 : QStringLiteral("%1 multiplet%2, %3 protons").arg(count).arg(count == 1 ? "" : "s").arg(protons));
  // The multiplet stepped to, marked as the view marks its lines.
  QList<QTextEdit::ExtraSelection> marks;
  if (const auto& stepped = form_.stepped(); stepped && *stepped < spans_.size()) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(text_->document());
    mark.cursor.setPosition(spans_[*stepped].first);
    mark.cursor.setPosition(spans_[*stepped].second, QTextCursor::KeepAnchor);
    mark.format.setBackground(palette().color(QPalette::Highlight));
    mark.format.setForeground(palette().color(QPalette::HighlightedText));
    marks.push_back(mark);
  }
  text_->setExtraSelections(marks);
  const auto given = form_.protons();
  protons_->setText(given ? QString::number(*given) : QString());
  setEnabled(!report.text.empty());
}

}  // namespace window
