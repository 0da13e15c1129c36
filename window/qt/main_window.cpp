// The program's one window.
#include "window/qt/main_window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include "window/messages.hpp"
#include "window/qt/dataset_dialog.hpp"
#include "window/qt/drop_button.hpp"
#include "window/qt/layout.hpp"
#include "spectrum/picture.hpp"
#include "window/qt/report_panel.hpp"
#include "window/qt/spectrum_view.hpp"
#include "window/qt/status_line.hpp"
#include "common/scratch_paths.hpp"
#include "sound/wave_envelope.hpp"
#include "spectrum/audio_graph.hpp"
#include "spectrum/hearing.hpp"
#include "window/status.hpp"

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
    : media_(media),
      shell_(files.drive(), [this](const std::string& path, int status) { desktop_failed(path, status); }) {
  setWindowTitle(QStringLiteral("FID-Song"));
  // The form as laid out, and the status line under it; the spectrum's view below them
  // once there is a spectrum to show.
  setFixedSize(pixels(kClientWidth), kFormHeight);
  setFont(layout_font());
  Controls controls = build_controls();
  QWidget* const command5 = controls.command5;
  windowServices_ = std::make_unique<QtWindowServices>(std::move(controls), std::move(commandLine));
  services_ = std::make_unique<platform::Services>(
      platform::Services{files, *windowServices_, media, shell_});
  // The spectrum is worked out beside the sound; the view fills in when it is ready.
  intake::IntakeOptions options;
  options.waitForSpectrum = false;
  options.spectrumDone = [this] { QMetaObject::invokeMethod(this, [this] { spectrum_ready(); }, Qt::QueuedConnection); };
  form_ = std::make_unique<Form>(*services_, options);
  view_ = new SpectrumView(this, *form_, media_);
  view_->hide();
  report_ = new ReportPanel(this, *form_);
  report_->hide();
  QWidget::setTabOrder(command5, view_);  // after the last control
  QWidget::setTabOrder(view_, report_->text());
  connect(report_, &ReportPanel::steppedTo, this, [this](std::size_t number) {
    const auto step = form_->step_to(number);
    stepped(step ? std::optional<Step>(*step) : std::nullopt);
  });
  connect(report_, &ReportPanel::protonsChanged, this, [this] { view_->refresh(); });
  connect(view_, &SpectrumView::pictureAsked, this, &MainWindow::save_picture);
  chooser_ = [this, &files] {
    return DatasetDialog::choose(this, [&files](const std::string& folder) { return intake::dataset_file(files, folder) != folder; });
  };
  pictureChooser_ = [this]() -> std::optional<std::string> {
    const QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Save picture"), QString(),
                                                        QStringLiteral("Pictures (*.svg *.pdf *.png)"));
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen).toStdString();
  };
  // Looks for xdg-open's answers only while one is awaited.
  openers_.setInterval(200);
  connect(&openers_, &QTimer::timeout, this, [this] {
    shell_.collect();
    if (!shell_.awaiting()) openers_.stop();
  });
}

MainWindow::~MainWindow() {
  // The form goes before the controls do, and closing the window still moves the focus:
  // a box that loses it would report to a form that is gone.
  for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
}

void MainWindow::startup() { tell(form_->startup()); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  place_view();
  QWidget::resizeEvent(event);
}

void MainWindow::place_view() {
  const int report = report_->isHidden() ? 0 : kReportHeight;
  view_->setGeometry(0, kFormHeight, width(), height() - kFormHeight - report);
  report_->setGeometry(0, height() - report, width(), report);
}

void MainWindow::show_spectrum() {
  if (form_->region() && view_->isHidden()) {
    setMinimumSize(pixels(kClientWidth), kFormHeight + kLeastViewHeight + kReportHeight);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(width(), kFormHeight + kViewHeight + kReportHeight);
    view_->show();
    report_->show();
    place_view();  // at once: a window not yet shown is told of its size only when it is
  }
  view_->refresh();
  report_->refresh();
}

bool MainWindow::spectrum_pending() const { return form_->working(); }

void MainWindow::spectrum_ready() {
  // A dataset's that came before the last finds nothing to take.
  if (!form_->take_spectrum()) return;
  show_spectrum();
  if (!form_->spectrum_refusal().empty()) status_->failed("no spectrum: " + form_->spectrum_refusal());
}

void MainWindow::follow_fid(const sound::SoundResult& sound) {
  if (!sound.played()) return;
  // As wide as the view is, or will be once a spectrum shows it: the window's width.
  const auto stretches = static_cast<std::size_t>(width() * devicePixelRatioF());
  view_->follow_fid(sound::wave_envelope(services_->files.drive(), common::kScratchWav, stretches));
}

Controls MainWindow::build_controls() {
  Controls c{};
  c.window = this;
  command1_ = place<DropButton>(this, "Command1", twips(0, 1320, 2175, 375),
                                "drag FID here to listen to it");
  c.label1 = place<QLabel>(this, "Label1", twips(2400, 240, 4455, 1455), "title will appear here");
  c.label1->setAccessibleName(c.label1->text());  // as every caption after it
  c.combo1 = place<QComboBox>(this, "Combo1", twips(960, 2640, 1335, 315));
  c.txtF1 = place<QLineEdit>(this, "txtF1", twips(240, 480, 615, 285), "Text1");
  c.txtF2 = place<QLineEdit>(this, "txtF2", twips(1080, 480, 615, 285), "Text1");
  auto* command2 = place<QPushButton>(this, "Command2", twips(1680, 480, 615, 255), "tones");
  c.check1 = place<QCheckBox>(this, "Check1", twips(0, 480, 255, 255), "Check1");
  c.check2 = place<QCheckBox>(this, "Check2", twips(880, 480, 255, 255), "Check1");
  place<QLabel>(this, "Label2", twips(0, 120, 780, 195), "Tone Test:");
  place<QLabel>(this, "Label3", twips(0, 1080, 900, 195), "NMR Signal:");
  place<QLabel>(this, "Label4", twips(0, 2400, 585, 195), "Options:");
  auto* label5 = place<QLabel>(this, "Label5", twips(960, 2400, 1050, 195), "Replay Speed:");
  c.command3 = place<QPushButton>(this, "Command3", twips(2280, 1800, 2175, 375), "view Spectrum");
  c.command4 = place<QPushButton>(this, "Command4", twips(4680, 1800, 2175, 375), "archive Data");
  c.command5 = place<QPushButton>(this, "Command5", twips(2280, 2400, 2175, 375), "hear Spectrum");
  line(this, "Line1", 10, 2160, 840);
  line(this, "Line2", 0, 2150, 2280);
  status_ = new StatusLine(this, media_);
  status_->setGeometry(0, pixels(kClientHeight), pixels(kClientWidth), kStatusHeight);

  // Titles are shown as they are: never as rich text, wrapped at word boundaries, and
  // cut off where the label ends.
  c.label1->setTextFormat(Qt::PlainText);
  c.label1->setWordWrap(true);
  c.label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The speed is picked from the list; nothing can be typed into it. On Linux a screen
  // reader names a list by the label that labels it.
  c.combo1->setEditable(false);
  label5->setBuddy(c.combo1);
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
  QWidget::setTabOrder(c.command4, c.command5);
  command1_->setFocus();
  describe_controls(c, command2);
  add_shortcuts(c, command2);

  connect(command1_, &QPushButton::clicked, this, [this] {
    const sound::SoundResult sound = form_->command1_click();
    follow_fid(sound);
    tell(sound, false);
  });
  connect(command1_, &DropButton::urlsDropped, this, &MainWindow::drop_on_command1);
  connect(command2, &QPushButton::clicked, this, &MainWindow::click_command2);
  connect(c.command3, &QPushButton::clicked, this, [this] {
    form_->command3_click();
    await_desktop();
  });
  connect(c.command4, &QPushButton::clicked, this, &MainWindow::click_command4);
  connect(c.command5, &QPushButton::clicked, this, &MainWindow::click_command5);
  return c;
}

void MainWindow::describe_controls(const Controls& c, QWidget* command2) {
  // What a screen reader says of each control, and what its tooltip says: the hidden
  // captions of the check boxes ("Check1") and the large button's text tell nothing.
  const struct {
    QWidget* control;
    const char* name;
    const char* description;
  } described[] = {
      {command1_, "Replay the dataset",
       "Sounds the dataset again at the picked speed (Ctrl+R). Drop a dataset's fid, ser or folder "
       "here to take it in and hear it, or press Ctrl+O to choose one."},
      {c.label1, nullptr, "The dataset's path and title, or the tone test's frequencies"},
      {c.combo1, "Replay speed", "How fast the sound plays; x ? asks for a multiplier"},
      {c.txtF1, "First tone frequency in hertz", "The first test tone's frequency, 440 at start"},
      {c.txtF2, "Second tone frequency in hertz", "The second test tone's frequency, 445 at start"},
      {command2, "Play the tones", "Plays the two test tones, beating together (Ctrl+T)"},
      {c.check1, "First tone on", "Whether the tone test sounds the first tone"},
      {c.check2, "Second tone on", "Whether the tone test sounds the second tone"},
      {c.command3, "View the spectrum", "Opens the dataset's spectrum plot with the desktop's viewer (Ctrl+E)"},
      {c.command4, "Archive the dataset",
       "Keeps the dataset, its sound and a web page in a folder you name, then opens the page (Ctrl+S)"},
      {c.command5, "Hear the spectrum",
       "Plays the part of the spectrum shown below as a sweep from its left to its right, the pitch rising with each peak, a click "
       "at each labelled tick (Ctrl+L); Ctrl+. and Ctrl+, step to the next and the previous multiplet (or peak) "
       "shown and play it"},
  };
  for (const auto& d : described) {
    // Label1 is named by its caption, which the window services keep.
    if (d.name) d.control->setAccessibleName(QString::fromUtf8(d.name));
    d.control->setAccessibleDescription(QString::fromUtf8(d.description));
    d.control->setToolTip(QString::fromUtf8(d.description));
  }
}

void MainWindow::add_shortcuts(const Controls& c, QPushButton* command2) {
  const auto shortcut = [this](QKeySequence keys, auto action) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, action);
  };
  // Esc stops the sound, wherever the focus is.
  shortcut(QKeySequence(Qt::Key_Escape), [this] {
    media_.stop();
    status_->idle();
    view_->follow_nothing();
  });
  shortcut(QKeySequence::Open, [this] { open_dataset(); });
  // A disabled button takes no click, from its shortcut either.
  const std::pair<QKeySequence, QAbstractButton*> buttons[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_R), command1_},
      {QKeySequence(Qt::CTRL | Qt::Key_T), command2},
      {QKeySequence(Qt::CTRL | Qt::Key_E), c.command3},
      {QKeySequence(Qt::CTRL | Qt::Key_S), c.command4},
      {QKeySequence(Qt::CTRL | Qt::Key_L), c.command5}};
  for (const auto& [keys, button] : buttons) shortcut(keys, [button] { button->click(); });
  // The multiplets (or peaks), from any control: no text box or list takes these keys.
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), [this] { step(1); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), [this] { step(-1); });
  // Ctrl+S archives, as it always has: the picture takes Shift with it.
  shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { save_picture(); });
}

void MainWindow::save_picture() {
  if (!form_->spectrum() || !form_->region()) return;
  const auto chosen = pictureChooser_();
  if (!chosen) return;
  const std::string& path = *chosen;
  const auto format = spectrum::picture_format(path);
  if (!format) {
    warn(path + " is no picture's name: it must end in .svg, .pdf or .png.");
    return;
  }
  const auto picture = spectrum::picture_of(*form_->spectrum(), form_->analysis(), *form_->region(), *format,
                                            spectrum::default_picture_size(*format));
  platform::Replacement file = services_->files.replace(path);
  if (picture) file.file().write(*picture);
  const platform::Status saved = picture ? file.commit() : platform::Status();
  if (picture && saved) {
    status_->notice("Saved the picture as " + path);
  } else {
    warn(path + " could not be written" + (picture ? " (" + saved.reason() + ")" : "") + ".");
  }
}

void MainWindow::drop_on_command1(const QList<QUrl>& urls) {
  // Only the first URL counts, and only when it names a local file.
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  tell(form_->command1_drop({QFile::encodeName(urls.front().toLocalFile()).toStdString()}));
}

void MainWindow::open_dataset() {
  // Taken in exactly as a drop.
  if (const auto path = chooser_()) tell(form_->command1_drop({*path}));
}

void MainWindow::click_command2() {
  const ToneTestResult result = form_->command2_click();
  if (result.refused) {
    warn(tone_refusal_message(*result.refused));
  } else {
    if (result.sound.played()) view_->follow_nothing();
    tell(result.sound, true);
  }
}

void MainWindow::click_command4() {
  const auto message = archive_message(form_->command4_click());
  await_desktop();
  if (message) warn(*message);
}

void MainWindow::click_command5() {
  const auto result = form_->command5_click();
  if (!result) return;
  if (!result->played()) {
    tell(*result, false);
    return;
  }
  const spectrum::Trace trace = *form_->heard_trace();
  view_->follow_sweep(trace.range());
  status_->playing([trace](const platform::Playback& p) {
    return hearing_status(spectrum::value_at(trace, p.played, p.length), trace.axis);
  });
}

void MainWindow::step(int direction) { stepped(form_->step(direction)); }

void MainWindow::stepped(const std::optional<Step>& step) {
  if (!step) return;
  report_->refresh();
  const sound::SoundResult& sound = std::visit([](const auto& s) -> const sound::SoundResult& { return s.sound; }, *step);
  view_->refresh();
  if (sound.played()) {
    // A multiplet's sweep is followed; a peak's half second is not.
    if (const auto* multiplet = std::get_if<MultipletStep>(&*step)) {
      view_->follow_sweep(spectrum::multiplet_sweep(*form_->spectrum(), multiplet->multiplet));
    } else {
      view_->follow_nothing();
    }
    status_->notice(step_status(*step));
  } else {
    tell(sound, false);
  }
}

void MainWindow::await_desktop() {
  if (shell_.awaiting()) openers_.start();
}

void MainWindow::tell(const sound::SoundResult& sound, bool tones) {
  tell_sound(sound, sound_name(form_->memory().lastFidPath, tones));
}

void MainWindow::tell_sound(const sound::SoundResult& sound, const std::string& name) {
  if (sound.played()) {
    status_->playing([name](const platform::Playback& p) { return playing_status(name, p); });
    // A sound cut short must be heard of, as a failure is, while it plays.
    if (const auto cut = cut_message(sound)) status_->failed(*cut);
    return;
  }
  const auto message = no_sound_message(sound);
  if (!message) return;
  status_->failed(*message);
  // A cancelled question was the user's own choice; anything else they must hear of.
  if (sound.outcome != sound::SoundResult::Outcome::Cancelled) warn(*message);
}

void MainWindow::tell(const std::optional<intake::IntakeResult>& intake) {
  if (!intake) return;
  show_spectrum();
  // A new dataset is announced with its title.
  if (intake->sound) {
    follow_fid(*intake->sound);
    tell_sound(*intake->sound, named_with_title(sound_name(form_->memory().lastFidPath, false), windowServices_->title()));
  }
  if (const auto message = unreadable_message(*intake)) status_->failed(*message);
}

void MainWindow::warn(const std::string& message) {
  // Paths and names in it are a dataset's or a user's: never rich text, never controls.
  QMessageBox box(QMessageBox::Warning, windowTitle(), caption_text(message), QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void MainWindow::desktop_failed(const std::string& path, int status) {
  warn(desktop_message(path, status));
}

}  // namespace window
