// The program's one window.
#include "window/qt/main_window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "window/messages.hpp"
#include "window/qt/drop_button.hpp"
#include "window/qt/layout.hpp"

namespace window {
namespace {

template <typename Control>
Control* place(QWidget* parent, const char* name, const QRect& where) {
  auto* control = new Control(parent);
  control->setObjectName(QLatin1String(name));
  control->setGeometry(where);
  return control;
}

// A control with its design-time text.
template <typename Control>
Control* place(QWidget* parent, const char* name, const QRect& where, const char* text) {
  auto* control = place<Control>(parent, name, where);
  control->setText(QLatin1String(text));
  return control;
}

// The layout's sizes were made for an 8-point sans-serif font of Arial's widths; so the
// window asks for one, and its controls all use it. Without such a family installed, the
// desktop's sans-serif stands in.
QFont layout_font() {
  QFont font(QApplication::font());
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPointSize(8);
  return font;
}

// A line from (x1, y) to (x2, y), one pixel thick.
void line(QWidget* parent, const char* name, int x1, int x2, int y) {
  auto* frame = place<QFrame>(parent, name, QRect(pixels(x1), pixels(y), pixels(x2) - pixels(x1), 1));
  frame->setFrameShape(QFrame::HLine);
  frame->setFrameShadow(QFrame::Plain);
  frame->setLineWidth(1);
}

}  // namespace

MainWindow::MainWindow(platform::FileSystem& files, platform::Media& media, std::string commandLine)
    : shell_(files.drive()) {
  setWindowTitle(QStringLiteral("FID-Song"));
  setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
  setFont(layout_font());
  windowServices_ = std::make_unique<QtWindowServices>(build_controls(), std::move(commandLine));
  services_ = std::make_unique<platform::Services>(
      platform::Services{files, *windowServices_, media, shell_});
  form_ = std::make_unique<Form>(*services_);
}

Controls MainWindow::build_controls() {
  Controls c{};
  c.window = this;
  command1_ = place<DropButton>(this, "Command1", twips(0, 1320, 2175, 375),
                                "drag FID here to listen to it");
  c.label1 = place<QLabel>(this, "Label1", twips(2400, 240, 4455, 1455), "title will appear here");
  c.combo1 = place<QComboBox>(this, "Combo1", twips(960, 2640, 1335, 315));
  c.txtF1 = place<QLineEdit>(this, "txtF1", twips(240, 480, 615, 285), "Text1");
  c.txtF2 = place<QLineEdit>(this, "txtF2", twips(1080, 480, 615, 285), "Text1");
  auto* command2 = place<QPushButton>(this, "Command2", twips(1680, 480, 615, 255), "tones");
  c.check1 = place<QCheckBox>(this, "Check1", twips(0, 480, 255, 255), "Check1");
  c.check2 = place<QCheckBox>(this, "Check2", twips(880, 480, 255, 255), "Check1");
  place<QLabel>(this, "Label2", twips(0, 120, 780, 195), "Tone Test:");
  place<QLabel>(this, "Label3", twips(0, 1080, 900, 195), "NMR Signal:");
  place<QLabel>(this, "Label4", twips(0, 2400, 585, 195), "Options:");
  place<QLabel>(this, "Label5", twips(960, 2400, 1050, 195), "Replay Speed:");
  c.command3 = place<QPushButton>(this, "Command3", twips(2280, 1800, 2175, 375), "view Spectrum");
  c.command4 = place<QPushButton>(this, "Command4", twips(4680, 1800, 2175, 375), "archive Data");
  line(this, "Line1", 10, 2160, 840);
  line(this, "Line2", 0, 2150, 2280);

  // Titles are shown as they are: never as rich text, wrapped at word boundaries, and
  // cut off where the label ends.
  c.label1->setTextFormat(Qt::PlainText);
  c.label1->setWordWrap(true);
  c.label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The speed is picked from the list; nothing can be typed into it.
  c.combo1->setEditable(false);
  // Both tones start switched on.
  c.check1->setChecked(true);
  c.check2->setChecked(true);
  // Only the large button takes dropped files; text boxes would take dropped text.
  c.txtF1->setAcceptDrops(false);
  c.txtF2->setAcceptDrops(false);

  QWidget::setTabOrder(command1_, c.combo1);
  QWidget::setTabOrder(c.combo1, c.txtF1);
  QWidget::setTabOrder(c.txtF1, c.txtF2);
  QWidget::setTabOrder(c.txtF2, command2);
  QWidget::setTabOrder(command2, c.check1);
  QWidget::setTabOrder(c.check1, c.check2);
  QWidget::setTabOrder(c.check2, c.command3);
  QWidget::setTabOrder(c.command3, c.command4);
  command1_->setFocus();

  connect(command1_, &QPushButton::clicked, this, [this] { (void)form_->command1_click(); });
  connect(command1_, &DropButton::urlsDropped, this, &MainWindow::drop_on_command1);
  connect(command2, &QPushButton::clicked, this, &MainWindow::click_command2);
  connect(c.command3, &QPushButton::clicked, this, [this] { form_->command3_click(); });
  connect(c.command4, &QPushButton::clicked, this, &MainWindow::click_command4);
  return c;
}

void MainWindow::drop_on_command1(const QList<QUrl>& urls) {
  // Only the first URL counts, and only when it names a local file.
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  (void)form_->command1_drop({QFile::encodeName(urls.front().toLocalFile()).toStdString()});
}

void MainWindow::click_command2() {
  const ToneTestResult result = form_->command2_click();
  if (result.refused) show_refusal(tone_refusal_message(*result.refused));
}

void MainWindow::click_command4() { show_refusal(archive_message(form_->command4_click())); }

void MainWindow::show_refusal(const std::optional<std::string>& refusal) {
  if (refusal) QMessageBox::warning(this, windowTitle(), QString::fromStdString(*refusal));
}

}  // namespace window
