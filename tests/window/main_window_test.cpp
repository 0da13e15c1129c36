// The Qt window under the offscreen platform: layout, start-up, clicks, drops and tones.
#include "window/qt/main_window.hpp"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "tests/window/window_fixture.hpp"

namespace {

using namespace testsupport;

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, ControlsStandWhereTheLayoutPutsThemWithTheirStartValues) {
  const auto w = open();
  EXPECT_EQ(w->windowTitle(), "FID-Song");
  EXPECT_EQ(w->size(), QSize(462, 197 + 22)) << "the form, and the status line under it";
  const struct {
    const char* name;
    QRect pixels;
    const char* text;  // null: none to check
    bool enabled;
  } controls[] = {
      {"Command1", {0, 88, 145, 25}, "drag FID here to listen to it", true},
      {"Label1", {160, 16, 297, 97}, "title will appear here", true},
      {"Combo1", {64, 176, 89, 21}, nullptr, true},
      {"txtF1", {16, 32, 41, 19}, "440", true},
      {"txtF2", {72, 32, 41, 19}, "445", true},
      {"Command2", {112, 32, 41, 17}, "tones", true},
      {"Check1", {0, 32, 17, 17}, "Check1", true},
      {"Check2", {59, 32, 17, 17}, "Check1", true},
      {"Label2", {0, 8, 52, 13}, "Tone Test:", true},
      {"Label3", {0, 72, 60, 13}, "NMR Signal:", true},
      {"Label4", {0, 160, 39, 13}, "Options:", true},
      {"Label5", {64, 160, 70, 13}, "Replay Speed:", true},
      {"Command3", {152, 120, 145, 25}, "view Spectrum", false},
      {"Command4", {312, 120, 145, 25}, "archive Data", false},
      {"Command5", {152, 160, 145, 25}, "hear Spectrum", false},  // under "view Spectrum"
      {"Line1", {1, 56, 143, 1}, nullptr, true},
      {"Line2", {0, 152, 143, 1}, nullptr, true},
      {"StatusLine", {0, 197, 462, 22}, "Drop a dataset's fid on the large button, or press Ctrl+O", true},
  };
  for (const auto& c : controls) {
    QWidget* widget = control(w.get(), c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), c.pixels) << c.name;
    EXPECT_EQ(widget->isEnabled(), c.enabled) << c.name;
    if (!c.text) continue;
    const QVariant text = widget->property("text");
    EXPECT_EQ(text.toString().toStdString(), c.text) << c.name;
  }
  auto* combo = control<QComboBox>(w.get(), "Combo1");
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  EXPECT_EQ(entries, QStringList({"x ?", "x 0.125", "x 0.25", "x 0.5", "x 1", "x 2", "x 3"}));
  EXPECT_EQ(combo->currentText(), "x 1");
  EXPECT_FALSE(combo->isEditable());
  EXPECT_TRUE(control<QCheckBox>(w.get(), "Check1")->isChecked());
  EXPECT_TRUE(control<QCheckBox>(w.get(), "Check2")->isChecked());
  EXPECT_EQ(control<QLabel>(w.get(), "Label1")->textFormat(), Qt::PlainText);

  // Focus starts on the large button and Tab walks the table's order, passing the labels.
  EXPECT_EQ(QApplication::focusWidget(), control(w.get(), "Command1"));
  QStringList order;
  for (int i = 0; i < 9; ++i) {
    order << QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(order, QStringList({"Command1", "Combo1", "txtF1", "txtF2", "Command2", "Check1",
                                "Check2", "Command1", "Combo1"}))
      << "the three disabled buttons take no focus";
}

TEST_F(MainWindowTest, StartUpTakesTheCommandLineDatasetInBeforeTheWindowIsShown) {
  const auto vFN = demo_copy("with blank");
  window::MainWindow w(bench.files, bench.media, vFN.string());
  w.startup();
  EXPECT_FALSE(w.isVisible());
  ASSERT_TRUE(await_spectrum(&w));
  EXPECT_FALSE(w.isVisible()) << "its spectrum shown in the window not yet shown";
  EXPECT_EQ(bench.media.played.size(), 1u) << "sounding before the window appears";
  EXPECT_EQ(control<QLabel>(&w, "Label1")->text().toStdString(),
            vFN.string() + "\nEthanol in CDCl3, 1H, 400 MHz\nFID-Song demo dataset (synthetic)\n");
  EXPECT_TRUE(control(&w, "Command3")->isEnabled());
  EXPECT_TRUE(control(&w, "Command4")->isEnabled());
  EXPECT_TRUE(control(&w, "Command5")->isEnabled()) << "its spectrum was drawn";
  EXPECT_EQ(read_file(bench.scratch("fid")), read_file(vFN));

  // The window has grown to show the spectrum and its report under the form, which stays
  // as it was.
  EXPECT_EQ(w.size(), QSize(462, 197 + 22 + 240 + 72));
  EXPECT_EQ(control(&w, "SpectrumView")->geometry(), QRect(0, 219, 462, 240));
  EXPECT_EQ(control(&w, "ReportPanel")->geometry(), QRect(0, 459, 462, 72));
  EXPECT_EQ(control(&w, "StatusLine")->geometry(), QRect(0, 197, 462, 22));

  // "hear Spectrum" comes after "archive Data" in the tab order, then the view, the
  // report and the protons' box.
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  control(&w, "Check2")->setFocus();
  QStringList order;
  for (int i = 0; i < 8; ++i) {
    order << QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(order, QStringList({"Check2", "Command3", "Command4", "Command5", "SpectrumView", "Report", "Protons", "Command1"}));
}

TEST_F(MainWindowTest, TheLargeButtonReplaysAtThePickedSpeed) {
  const auto w = open(demo_copy("demo").string());
  control<QComboBox>(w.get(), "Combo1")->setCurrentIndex(5);  // "x 2"
  QTest::mouseClick(control(w.get(), "Command1"), Qt::LeftButton);
  EXPECT_EQ(bench.media.played.size(), 2u);
  EXPECT_EQ(read_file(bench.scratch("fid.wav")).substr(24, 4), le32(16556));
}

TEST_F(MainWindowTest, OnlyTheLargeButtonTakesDropsAndOnlyTheFirstLocalFile) {
  const auto w = open();
  const auto one = demo_copy("one");
  const auto two = demo_copy("two");
  QWidget* command1 = control(w.get(), "Command1");

  auto text = std::make_unique<QMimeData>();
  text->setText(QString::fromStdString(one.string()));
  EXPECT_FALSE(drop(w.get(), command1, std::move(text)));
  auto remote = std::make_unique<QMimeData>();
  remote->setUrls({QUrl("https://example.org/fid")});
  drop(w.get(), command1, std::move(remote));
  for (const char* other : {"txtF1", "Label1", "Combo1", "Command2", "Command4"}) {
    EXPECT_FALSE(drop(w.get(), control(w.get(), other), files({one.string()}))) << other;
  }
  EXPECT_TRUE(bench.media.played.empty());
  EXPECT_EQ(control<QLineEdit>(w.get(), "txtF1")->text(), "440");

  EXPECT_TRUE(drop(w.get(), command1, files({two.string(), one.string(), "/third/fid"})));
  EXPECT_EQ(bench.media.played.size(), 1u);
  EXPECT_TRUE(control<QLabel>(w.get(), "Label1")->text().startsWith(QString::fromStdString(two.string())));
}

TEST_F(MainWindowTest, TheToneTestReadsItsBoxesAndRefusesWhatDoesNotFitSixteenBits) {
  const auto w = open();
  write_file(bench.scratch("fid"), std::string(320 + 8 * 4, '\0'));
  auto* check1 = control<QCheckBox>(w.get(), "Check1");
  auto* check2 = control<QCheckBox>(w.get(), "Check2");
  auto* txtF1 = control<QLineEdit>(w.get(), "txtF1");
  auto* txtF2 = control<QLineEdit>(w.get(), "txtF2");
  QWidget* tones = control(w.get(), "Command2");

  QTest::mouseClick(check1, Qt::LeftButton);
  QTest::mouseClick(check2, Qt::LeftButton);
  QTest::mouseClick(tones, Qt::LeftButton);
  EXPECT_EQ(control<QLabel>(w.get(), "Label1")->text(), "440 and 445 Hz");
  EXPECT_EQ(read_file(bench.scratch("fid.xls")), " 0\r\n 0\r\n 0\r\n 0\r\n") << "both tones off";

  check1->setChecked(true);
  txtF1->setText("");
  QTest::keyClicks(txtF2, "x");  // "445x" would count, but the box is off
  QTest::mouseClick(tones, Qt::LeftButton);
  EXPECT_EQ(control<QLabel>(w.get(), "Label1")->text(), " and 445x Hz");

  // Out of range: a message box names the box and the range; nothing is written.
  std::filesystem::remove(bench.scratch("fid.wav"));
  txtF1->setText("40000.5");
  QString message;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      message = box->text();
      box->accept();
    }
  });
  QTest::mouseClick(tones, Qt::LeftButton);
  EXPECT_TRUE(message.contains("txtF1")) << message.toStdString();
  EXPECT_TRUE(message.contains("-32768 and 32767")) << message.toStdString();
  EXPECT_FALSE(std::filesystem::exists(bench.scratch("fid.wav")));
  EXPECT_EQ(bench.media.played.size(), 2u);
}

TEST_F(MainWindowTest, Label1ShowsTitlesAsPlainTextOnTheirOwnLines) {
  const auto w = open();
  auto* label = control<QLabel>(w.get(), "Label1");
  write_file(bench.scratch("title"), "<b>bold</b> &amp; <i>x\rsecond line");
  QTest::mouseClick(control(w.get(), "Command1"), Qt::LeftButton);
  EXPECT_EQ(label->text(), "\n<b>bold</b> &amp; <i>x\nsecond line");
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

}  // namespace
