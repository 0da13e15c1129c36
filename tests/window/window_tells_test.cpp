// The window tells what it does: its status line, Esc, Ctrl+O, the messages of each
// failure, and what a screen reader reads of its controls.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <deque>

#include "platform/sdl_media.hpp"
#include "tests/support/process.hpp"
#include "tests/support/spectra.hpp"
#include "tests/window/window_fixture.hpp"

namespace {

using namespace testsupport;

// Answers the modal boxes as they come: an input box with the next answer, a message box
// by reading its text and closing it.
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.empty()) {
        input->setTextValue(QString::fromStdString(answers.front()));
        answers.pop_front();
        input->accept();
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages.push_back(box->text().toStdString());
        box->accept();
      }
    });
    timer_.start(20);
  }
  std::deque<std::string> answers;
  std::vector<std::string> messages;

 private:
  QTimer timer_;
};

// A player that plays for as long as it is told to, and counts its stops.
class FakePlayer final : public platform::Media {
 public:
  void play(std::string_view) override { playing_ = platform::Playback{0.5, 3.9}; }
  void wait_until_done() override {}
  void stop() override {
    ++stops;
    playing_.reset();
  }
  std::optional<platform::Playback> playing() const override { return playing_; }
  int stops = 0;

 private:
  std::optional<platform::Playback> playing_;
};

std::string status_of(QWidget* w) {
  return w->findChild<QLabel*>("StatusLine")->text().toStdString();
}

std::string accessible(QWidget* widget, QAccessible::Text kind) {
  return QAccessible::queryAccessibleInterface(widget)->text(kind).toStdString();
}

using WindowTellsTest = WindowTest;

TEST_F(WindowTellsTest, TheStatusLineSaysHowToStartWhatPlaysAndWhatFailed) {
  FakePlayer player;
  const auto w = open("", &player);
  auto* status = control<QLabel>(w.get(), "StatusLine");
  EXPECT_EQ(status_of(w.get()), "Drop a dataset's fid on the large button, or press Ctrl+O");

  const auto vFN = copy_demo(bench.root.path() / "ethanol");
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({vFN.string()})));
  // A new dataset is announced with its title's first line.
  const std::string playing = "Playing ethanol/1/fid (Ethanol in CDCl3, 1H, 400 MHz): 0:00.5 of 0:03.9 \u2014 Esc stops";
  EXPECT_EQ(status_of(w.get()), playing);
  EXPECT_EQ(accessible(status, QAccessible::Name), playing) << "screen readers are told";

  QTest::keyClick(control(w.get(), "txtF1"), Qt::Key_Escape);  // from a text box too
  EXPECT_EQ(player.stops, 1);
  EXPECT_EQ(status_of(w.get()), "Drop a dataset's fid on the large button, or press Ctrl+O");

  const std::string missing = (bench.root.path() / "gone/1/fid").string();
  drop(w.get(), control(w.get(), "Command1"), files({missing}));
  const std::string failed = "Could not read " + missing + ": No such file or directory. Still sounding the previous dataset.";
  EXPECT_EQ(status_of(w.get()), failed);
  EXPECT_EQ(accessible(status, QAccessible::Name), failed);

  // A file that holds no FID: said, and nothing else happens.
  const auto spectrum = bench.root.path() / "aspirin.dx";
  write_file(spectrum, "##TITLE= aspirin\n##JCAMP-DX= 5.01\n##DATA TYPE= NMR SPECTRUM\n##XYDATA= (X++(Y..Y))\n1 2\n##END=\n");
  const std::string caption = control<QLabel>(w.get(), "Label1")->text().toStdString();
  drop(w.get(), control(w.get(), "Command1"), files({spectrum.string()}));
  EXPECT_EQ(status_of(w.get()), "Could not read " + spectrum.string() +
                                    ": holds a processed spectrum, not an FID. The previous dataset stays as it was.");
  EXPECT_EQ(control<QLabel>(w.get(), "Label1")->text().toStdString(), caption);
}

// A dataset whose FID holds values that are not numbers sounds as any other, and the
// status line says, and announces, why it has no spectrum; one of huge values is shown.
TEST_F(WindowTellsTest, AnFidOfNoNumbersSaysWhyItHasNoSpectrumAndOneOfHugeValuesIsShown) {
  auto w = open();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({hostile_dataset(bench.root.path() / "nan/1", 1, std::nan(""))})));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 1.0 * FIDSONG_TIME_FACTOR);
  const std::string said = "no spectrum: its FID holds values that are not numbers";
  EXPECT_EQ(status_of(w.get()), said);
  EXPECT_EQ(accessible(control(w.get(), "StatusLine"), QAccessible::Name), said);
  EXPECT_FALSE(control(w.get(), "Command5")->isEnabled());
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({hostile_dataset(bench.root.path() / "huge/1", 1e300, std::nullopt)})));
  EXPECT_TRUE(control(w.get(), "Command5")->isEnabled());
  QTest::keyClick(w.get(), Qt::Key_Period, Qt::ControlModifier);
  EXPECT_EQ(status_of(w.get()), "Multiplet 1 of 2: 4.12 ppm, q, J = 7.1 Hz, 2H");
}

TEST_F(WindowTellsTest, TheSpectrumIsHeardAndItsMultipletsSteppedThroughFromAnyControl) {
  FakePlayer player;
  const auto w = open("", &player);
  auto* command5 = control(w.get(), "Command5");
  EXPECT_FALSE(command5->isEnabled()) << "no spectrum drawn yet";
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({copy_demo(bench.root.path() / "ethanol").string()})));
  EXPECT_TRUE(command5->isEnabled());

  QTest::keyClick(w.get(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists(bench.scratch("spectrum.wav")));
  const std::string hearing = status_of(w.get());
  EXPECT_TRUE(hearing.starts_with("Hearing the spectrum: ") && hearing.ends_with(" ppm \u2014 Esc stops")) << hearing;

  // From a text box too: the keys are the window's, and no text box takes them.
  QTest::keyClick(control(w.get(), "txtF1"), Qt::Key_Period, Qt::ControlModifier);
  const std::string quartet = "Multiplet 1 of 3: 3.69 ppm, q, J = 7.0 Hz, 2H";
  EXPECT_EQ(status_of(w.get()), quartet);
  EXPECT_EQ(control<QLineEdit>(w.get(), "txtF1")->text(), "440") << "nothing typed";
  EXPECT_EQ(accessible(control(w.get(), "StatusLine"), QAccessible::Name), quartet) << "announced";
  EXPECT_TRUE(std::filesystem::exists(bench.scratch("multiplet.wav")));
  QTest::keyClick(control(w.get(), "Combo1"), Qt::Key_Comma, Qt::ControlModifier);
  EXPECT_EQ(status_of(w.get()), "Multiplet 3 of 3: 1.22 ppm, t, J = 7.0 Hz, 3H");
  EXPECT_EQ(control<QComboBox>(w.get(), "Combo1")->currentText(), "x 1");
}

TEST_F(WindowTellsTest, EscStopsTheSoundThatPlaysAndOnlySilenceFollows) {
  const auto captured = bench.root.path() / "captured.raw";
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", captured.c_str(), 1);
  ::unsetenv("SDL_DISKAUDIODELAY");  // at the device's own pace
  {
    platform::SdlMedia speaker(bench.files.drive());
    const auto w = open(copy_demo(bench.root.path() / "slow").string(), &speaker);
    control<QComboBox>(w.get(), "Combo1")->setCurrentIndex(1);  // "x 0.125": 40 s
    QTest::mouseClick(control(w.get(), "Command1"), Qt::LeftButton);
    // The device writes silence while it opens: the sound has begun once a sample is not.
    ASSERT_TRUE(QTest::qWaitFor([&] {
      return std::filesystem::exists(captured) && read_file(captured).find_first_not_of('\0') != std::string::npos;
    }));
    QTest::keyClick(control(w.get(), "txtF2"), Qt::Key_Escape);
    EXPECT_FALSE(speaker.playing().has_value());
    const auto size = std::filesystem::file_size(captured);
    QTest::qWait(300);
    // The device stays open, paused: it plays out the buffer it holds (1024 frames, 21 ms
    // at 48000 Hz, 2 bytes each), and is given only silence from then on.
    const std::string after = read_file(captured).substr(std::min<std::size_t>(size + 2 * 2048, read_file(captured).size()));
    EXPECT_EQ(after, std::string(after.size(), '\0')) << "nothing plays on";
  }
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST_F(WindowTellsTest, CtrlOTakesInTheDatasetChosenAsADropWould) {
  const auto w = open();
  const auto folder = copy_demo(bench.root.path() / "chosen").parent_path();
  int asked = 0;
  w->set_dataset_chooser([&]() -> std::optional<std::string> {
    ++asked;
    return folder.string();
  });
  QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(control<QLabel>(w.get(), "Label1")->text().startsWith(QString::fromStdString((folder / "fid").string())));
  EXPECT_EQ(bench.media.played.size(), 1u);

  w->set_dataset_chooser([] { return std::optional<std::string>(); });  // cancelled
  QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(bench.media.played.size(), 1u);
}

TEST_F(WindowTellsTest, WhatTheUserAskedForAndDidNotHappenIsToldInAMessage) {
  const auto w = open(copy_demo(bench.root.path() / "demo").string());
  ModalAnswerer modal;

  // A multiplier with a decimal comma.
  control<QComboBox>(w.get(), "Combo1")->setCurrentIndex(0);  // "x ?"
  modal.answers = {"0,5"};
  QTest::mouseClick(control(w.get(), "Command1"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return modal.messages.size() == 1; }));
  EXPECT_NE(modal.messages[0].find("the decimal point is \".\""), std::string::npos) << modal.messages[0];
  modal.answers = {"abc"};
  QTest::mouseClick(control(w.get(), "Command1"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return modal.messages.size() == 2; }));
  EXPECT_NE(modal.messages[1].find("\"abc\" is not a number"), std::string::npos) << modal.messages[1];

  // The desktop that cannot open the plot.
  ::setenv("FAKE_XDG_OPEN_STATUS", "3", 1);
  QTest::mouseClick(control(w.get(), "Command3"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return modal.messages.size() == 3; }));
  ::unsetenv("FAKE_XDG_OPEN_STATUS");
  EXPECT_EQ(modal.messages[2], "The desktop could not open " + bench.scratch("spectrum.eps").string() +
                                   " (xdg-open ended with status 3).");

  // An archive that cannot be written.
  write_file(bench.scratch("fidsong/taken"), "a file");
  modal.answers = {"taken"};
  QTest::mouseClick(control(w.get(), "Command4"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return modal.messages.size() == 4; }));
  EXPECT_NE(modal.messages[3].find("Not a directory"), std::string::npos) << modal.messages[3];
}

TEST_F(WindowTellsTest, AScreenReaderHearsWhatEachControlDoesAndTheKeysShowInTheTooltips) {
  const auto w = open();
  const struct {
    const char* control;
    const char* name;
    const char* key;  // shown in the description and the tooltip
  } controls[] = {
      {"Command1", "Replay the dataset", "Ctrl+R"},   {"Combo1", "x 1", nullptr},  // named by Label5
      {"txtF1", "First tone frequency in hertz", nullptr}, {"txtF2", "Second tone frequency in hertz", nullptr},
      {"Command2", "Play the tones", "Ctrl+T"},       {"Check1", "First tone on", nullptr},
      {"Check2", "Second tone on", nullptr},          {"Command3", "View the spectrum", "Ctrl+E"},
      {"Command4", "Archive the dataset", "Ctrl+S"},  {"Command5", "Hear the spectrum", "Ctrl+L"},
      {"Label1", "title will appear here", nullptr},  // named by its caption
  };
  for (const auto& c : controls) {
    QWidget* widget = control(w.get(), c.control);
    EXPECT_EQ(accessible(widget, QAccessible::Name), c.name) << c.control;
    const std::string description = accessible(widget, QAccessible::Description);
    EXPECT_FALSE(description.empty()) << c.control;
    if (c.key) {
      EXPECT_NE(description.find(c.key), std::string::npos) << c.control;
      EXPECT_NE(widget->toolTip().toStdString().find(c.key), std::string::npos) << c.control;
    }
  }
  EXPECT_NE(accessible(control(w.get(), "Command1"), QAccessible::Description).find("Ctrl+O"), std::string::npos);
  // A list is named by the label that labels it ("Replay Speed:").
  const auto labels = QAccessible::queryAccessibleInterface(control(w.get(), "Combo1"))->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0].first->text(QAccessible::Name).toStdString(), "Replay Speed:");

  // The keys do what the buttons do.
  EXPECT_NE(accessible(control(w.get(), "Command5"), QAccessible::Description).find("Ctrl+. and Ctrl+,"), std::string::npos);
  QTest::keyClick(w.get(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(control<QLabel>(w.get(), "Label1")->text(), "440 and 445 Hz");
  EXPECT_EQ(accessible(control(w.get(), "Label1"), QAccessible::Name), "440 and 445 Hz") << "the caption is heard";
  QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);  // disabled: no plot yet
  EXPECT_TRUE(bench.shell.opened.empty());
}

// Ctrl+Shift+S: the region the view shows, as the picture named; a name that is no
// picture's, or a file that cannot be written, told in a message and nothing left.
TEST_F(WindowTellsTest, CtrlShiftSSavesThePictureOfTheRegionShown) {
  const auto w = open(copy_demo(bench.root.path() / "demo").string());
  ModalAnswerer modal;
  std::string name;
  w->set_picture_chooser([&] { return std::optional<std::string>((bench.root.path() / name).string()); });
  // The quartet stepped to and zoomed about: the other multiplets out of the region.
  QWidget* view = control(w.get(), "SpectrumView");
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Period, Qt::ControlModifier);
  for (int i = 0; i < 4; ++i) QTest::keyClick(view, Qt::Key_Plus);
  name = "quartet.pdf";
  QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  const std::string saved = (bench.root.path() / name).string();
  EXPECT_EQ(status_of(w.get()), "Saved the picture as " + saved);
  EXPECT_NE(run_process({"pdfinfo", saved}, {}).out.find("Page size:       453.543 x 255.118 pts"), std::string::npos);
  const std::string text = run_process({"pdftotext", saved, "-"}, {}).out;
  EXPECT_NE(text.find("3.69 q 2H"), std::string::npos) << text;
  EXPECT_EQ(text.find("1.22"), std::string::npos) << "out of the region shown: " << text;
  EXPECT_TRUE(modal.messages.empty());

  // The view's context menu offers it too.
  name = "quartet.svg";
  QStringList offered;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* action : menu->actions()) {
      offered << action->text();
      if (action->text() == "Save picture...") action->trigger();
    }
    menu->close();
  });
  QContextMenuEvent asked(QContextMenuEvent::Keyboard, view->rect().center(), view->mapToGlobal(view->rect().center()));
  QApplication::sendEvent(view, &asked);
  EXPECT_EQ(offered, (QStringList{"Copy report", "Save picture..."}));
  EXPECT_EQ(status_of(w.get()), "Saved the picture as " + (bench.root.path() / name).string());
  EXPECT_EQ(run_process({"rsvg-convert", (bench.root.path() / name).string(), "-o", (bench.root.path() / "svg.png").string()}, {}).status, 0);

  for (const char* bad : {"quartet.txt", "no-such-folder/quartet.png"}) {
    name = bad;
    // The keys reach the window when it is the active one again, after the last box.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(std::filesystem::exists(bench.root.path() / name)) << bad;
  }
  ASSERT_EQ(modal.messages.size(), std::size_t{2});
  const std::string root = bench.root.path().string();
  EXPECT_EQ(modal.messages[0], root + "/quartet.txt is no picture's name: it must end in .svg, .pdf or .png.");
  EXPECT_TRUE(modal.messages[1].starts_with(root + "/no-such-folder/quartet.png could not be written (")) << modal.messages[1];
}

}  // namespace
