// The report under the spectrum: shown as report.txt holds it, copied as text and as
// HTML, a multiplet stepped to by a click on it, its protons given.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "tests/support/spectra.hpp"
#include "tests/window/window_fixture.hpp"
#include "window/qt/report_panel.hpp"

namespace {

using namespace testsupport;

class ReportPanelTest : public WindowTest {
 protected:
  QPlainTextEdit* report(QWidget* w) { return control<QPlainTextEdit>(w, "Report"); }
  std::string status(QWidget* w) { return control<QLabel>(w, "StatusLine")->text().toStdString(); }
  // The window's point of the character at position of the report's text.
  static QPoint point_of(QPlainTextEdit* text, int position) {
    QTextCursor cursor(text->document());
    cursor.setPosition(position);
    return text->cursorRect(cursor).center() + QPoint(2, 0);
  }
};

TEST_F(ReportPanelTest, ItShowsReportTxtNamedReportAndCopiesItAsTextAndAsHtml) {
  const auto w = open(demo_copy("demo").string());
  QPlainTextEdit* text = report(w.get());
  ASSERT_TRUE(text->isVisible());
  const std::string expected = read_file(bench.scratch("report.txt"));
  ASSERT_TRUE(expected.starts_with("1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 2H)")) << expected;
  EXPECT_EQ(text->toPlainText().toStdString(), expected);
  EXPECT_EQ(text->accessibleName(), "Report");
  EXPECT_EQ(text->accessibleDescription(), "3 multiplets, 6 protons");
  EXPECT_TRUE(text->isReadOnly());

  // Ctrl+C, from the report and from the view: both forms on the clipboard.
  for (const char* from : {"Report", "SpectrumView"}) {
    QApplication::clipboard()->clear();
    control(w.get(), from)->setFocus();
    QTest::keyClick(control(w.get(), from), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr) << from;
    EXPECT_EQ(copied->text().toStdString(), expected) << from;
    ASSERT_TRUE(copied->hasHtml()) << from;
    EXPECT_TRUE(copied->html().startsWith("<p><sup>1</sup>H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, <i>J</i> = 7.0 Hz, 2H)")) << from;
  }
}

TEST_F(ReportPanelTest, AClickOnAMultipletStepsToItAsCtrlPeriodWouldAndMarksIt) {
  const auto w = open(demo_copy("demo").string());
  QPlainTextEdit* text = report(w.get());
  const QString shown = text->toPlainText();
  const int third = static_cast<int>(shown.indexOf(QStringLiteral("1.22 (t")));
  ASSERT_GT(third, 0);
  QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, point_of(text, third + 3));
  EXPECT_EQ(status(w.get()), "Multiplet 3 of 3: 1.22 ppm, t, J = 7.0 Hz, 3H");
  ASSERT_EQ(text->extraSelections().size(), 1);
  EXPECT_EQ(text->extraSelections().front().cursor.selectedText(), "1.22 (t, J = 7.0 Hz, 3H)");
  // A step from the keys marks its multiplet too.
  QTest::keyClick(w.get(), Qt::Key_Period, Qt::ControlModifier);
  EXPECT_EQ(status(w.get()), "Multiplet 1 of 3: 3.69 ppm, q, J = 7.0 Hz, 2H");
  EXPECT_EQ(text->extraSelections().front().cursor.selectedText(), "3.69 (q, J = 7.0 Hz, 2H)");
  // A click between multiplets steps nowhere.
  QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, point_of(text, 2));
  EXPECT_EQ(status(w.get()), "Multiplet 1 of 3: 3.69 ppm, q, J = 7.0 Hz, 2H");
}

TEST_F(ReportPanelTest, TheProtonsGivenCountTheIntegralsAnewAndAreRememberedForTheFolder) {
  const auto demo = demo_copy("demo");
  const auto w = open(demo.string());
  QLineEdit* protons = control<QLineEdit>(w.get(), "Protons");
  EXPECT_EQ(protons->text(), "");
  protons->setFocus();
  QTest::keyClicks(protons, "12");
  QTest::keyClick(protons, Qt::Key_Return);
  const std::string twelve = read_file(bench.scratch("report.txt"));
  EXPECT_EQ(twelve, "1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 4H), 2.61 (s, 2H), 1.22 (t, J = 7.0 Hz, 6H).\n");
  EXPECT_EQ(report(w.get())->toPlainText().toStdString(), twelve);
  EXPECT_EQ(report(w.get())->accessibleDescription(), "3 multiplets, 12 protons");
  // Another dataset, then this one again: its protons are still 12.
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({demo_copy("other").string()})));
  EXPECT_EQ(protons->text(), "");
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({demo.string()})));
  EXPECT_EQ(protons->text(), "12");
  EXPECT_EQ(read_file(bench.scratch("report.txt")), twelve);
  // Emptied: as the integrals tell.
  protons->setFocus();
  protons->clear();
  QTest::keyClick(protons, Qt::Key_Return);
  EXPECT_TRUE(read_file(bench.scratch("report.txt")).starts_with("1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 2H)"));
}

// The shared strychnine: its report whole in the panel, as report.txt holds it.
TEST_F(ReportPanelTest, StrychninesReportIsShownWhole) {
  if (!std::filesystem::is_directory(shared_datasets())) GTEST_SKIP() << shared_datasets() << " is not beside the checkout";
  const auto w = open((shared_datasets() / "strychnine-1h/10").string());
  const std::string expected = read_file(bench.scratch("report.txt"));
  ASSERT_TRUE(expected.starts_with("1H NMR (400 MHz, CDCl3) \u03b4 8.09")) << expected;
  EXPECT_EQ(report(w.get())->toPlainText().toStdString(), expected);
}

}  // namespace
