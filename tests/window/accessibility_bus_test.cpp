// The window as a screen reader reads it: over the AT-SPI bus, from another process.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <cstdlib>

#include "tests/window/window_fixture.hpp"

namespace {

using namespace testsupport;

QStringList reader_arguments(const QStringList& more = {}) {
  return QStringList{QStringLiteral(READ_ACCESSIBILITY), QCoreApplication::applicationName()} + more;
}

// What the reader printed once it has ended. The window answers while it waits, as its
// event loop must.
std::string read_to_its_end(QProcess& reader) {
  if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 20000)) {
    reader.kill();
    return "(no answer)";
  }
  return (reader.readAllStandardOutput() + reader.readAllStandardError()).toStdString();
}

// Each accessible object of this program, as a screen reader reads it:
// "role\tname\tdescription\tfocusable" lines.
std::string read_over_the_bus() {
  QProcess reader;
  reader.start(QStringLiteral("/usr/bin/python3"), reader_arguments());
  return read_to_its_end(reader);
}

// The whole text of the object named name, read through its text interface.
std::string text_over_the_bus(const QString& name) {
  QProcess reader;
  reader.start(QStringLiteral("/usr/bin/python3"), reader_arguments({QStringLiteral("--text"), name}));
  return read_to_its_end(reader);
}

class AccessibilityBusTest : public WindowTest {
 protected:
  void SetUp() override {
    if (const char* why = std::getenv("FIDSONG_NO_ACCESSIBILITY_BUS")) GTEST_SKIP() << "no accessibility bus: " << why;
    QProcess check;
    check.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
    if (!check.waitForFinished(20000) || check.exitCode() != 0) GTEST_SKIP() << "python3-pyatspi is not installed";
  }
};

TEST_F(AccessibilityBusTest, AScreenReaderHearsTheTitleAfterADropAndTheMultipletAfterAStep) {
  const auto w = open();
  const auto vFN = copy_demo(bench.root.path() / "ethanol");
  ASSERT_TRUE(drop(w.get(), control(w.get(), "Command1"), files({vFN.string()})));
  const std::string caption = vFN.string() + "\\nEthanol in CDCl3, 1H, 400 MHz\\nFID-Song demo dataset (synthetic)\\n";
  std::string read;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (read = read_over_the_bus()).find("label\t" + caption) != std::string::npos; }, 20000))
      << "the title label reads its path and title:\n" << read;
  EXPECT_NE(read.find("push button\tHear the spectrum"), std::string::npos) << read;

  // The keys reach the window when it is the active one, as for a user.
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  QTest::keyClick(w.get(), Qt::Key_Period, Qt::ControlModifier);
  const std::string quartet = "Multiplet 1 of 3: 3.69 ppm, q, J = 7.0 Hz, 2H";
  ASSERT_EQ(control<QLabel>(w.get(), "StatusLine")->text().toStdString(), quartet);
  ASSERT_TRUE(QTest::qWaitFor([&] { return (read = read_over_the_bus()).find("label\t" + quartet) != std::string::npos; }, 20000))
      << "the status line reads the multiplet:\n" << read;
}

TEST_F(AccessibilityBusTest, TheSpectrumIsAFocusableChartWhoseDescriptionIsAnnouncedOnceForEachZoom) {
  const auto w = open(copy_demo(bench.root.path() / "ethanol").string());
  QWidget* view = control(w.get(), "SpectrumView");
  const std::string whole = "chart\tSpectrum\tSpectrum of Ethanol in CDCl3, 1H, 400 MHz, ";
  std::string read;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (read = read_over_the_bus()).find(whole) != std::string::npos; }, 20000))
      << read;
  const std::string line = read.substr(read.find(whole), read.find('\n', read.find(whole)) - read.find(whole));
  EXPECT_TRUE(line.ends_with(" ppm, 3 multiplets\tfocusable")) << line;

  // Listening, as a screen reader does, while two zoom keys reach the focused view.
  QProcess listener;
  listener.start(QStringLiteral("/usr/bin/python3"), reader_arguments({QStringLiteral("--listen"), QStringLiteral("4")}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return listener.canReadLine() || listener.state() == QProcess::NotRunning; }, 20000));
  ASSERT_EQ(listener.readLine().toStdString(), "ready\n") << listener.readAllStandardError().toStdString();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Plus);
  QTest::keyClick(view, Qt::Key_Plus);
  const std::string said = read_to_its_end(listener);
  const std::string now = view->accessibleDescription().toStdString();
  EXPECT_NE(now, line.substr(std::string("chart\tSpectrum\t").size())) << "zoomed in";
  // Each zoom once, the frames drawn between them not at all.
  std::size_t announced = 0;
  for (std::size_t at = said.find("chart\t"); at != std::string::npos; at = said.find("chart\t", at + 1)) ++announced;
  EXPECT_EQ(announced, 2u) << said;
  EXPECT_TRUE(said.ends_with("chart\t" + now + "\n")) << said;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (read = read_over_the_bus()).find("chart\tSpectrum\t" + now) != std::string::npos; }, 20000))
      << read;
}

// The report under the spectrum: a focusable text named "Report", after the view, described
// by its multiplets and protons, whose text is the paragraph of report.txt.
TEST_F(AccessibilityBusTest, TheReportIsATextNamedReportWhoseTextIsTheParagraph) {
  const auto w = open(demo_copy("demo").string());
  const std::string expected = read_file(bench.scratch("report.txt"));
  ASSERT_TRUE(expected.starts_with("1H NMR (400 MHz, CDCl3) \u03b4 3.69 (q, J = 7.0 Hz, 2H)")) << expected;
  std::string read;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (read = read_over_the_bus()).find("\tReport\t") != std::string::npos; }, 20000))
      << read;
  const std::size_t chart = read.find("chart\tSpectrum\t"), report = read.find("\tReport\t");
  ASSERT_NE(chart, std::string::npos) << read;
  EXPECT_LT(chart, report) << "the report after the view";
  const std::string line = read.substr(report, read.find('\n', report) - report);
  EXPECT_EQ(line, "\tReport\t3 multiplets, 6 protons\tfocusable");
  EXPECT_EQ(read.substr(read.rfind('\n', report) + 1, report - read.rfind('\n', report) - 1), "text") << read;
  EXPECT_EQ(text_over_the_bus(QStringLiteral("Report")), expected);
}

}  // namespace
