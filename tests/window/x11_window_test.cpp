// The window on a real X display: the program as a user starts it, and the desktop's opener.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QImage>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <regex>

#include "platform/sdl_media.hpp"
#include "sound/sound_request.hpp"
#include "tests/support/process.hpp"
#include "tests/support/spectra.hpp"
#include "tests/support/workbench.hpp"
#include "tests/window/window_fixture.hpp"
#include "window/qt/main_window.hpp"

// Asks the window to close, as a window manager's close button does (in its own file,
// as Xlib's names clash with the program's).
bool close_window(unsigned long id);

namespace {

using namespace testsupport;

// The X window id of the mapped, viewable window with this title; 0 while there is none.
unsigned long viewable_window(const std::string& title) {
  const ProcessResult info = run_process({"xwininfo", "-name", title});
  std::smatch id;
  if (info.status != 0 || info.out.find("Map State: IsViewable") == std::string::npos ||
      !std::regex_search(info.out, id, std::regex("Window id: (0x[0-9a-f]+)"))) {
    return 0;
  }
  return std::stoul(id[1].str(), nullptr, 16);
}

int dark_pixels(const QImage& image, const QRect& area) {
  int dark = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 96;
  }
  return dark;
}

// What a clipboard tool reads of the clipboard as target. The window answers while it
// waits, as the clipboard's owner must.
std::string clipboard_as(const char* target) {
  QProcess xclip;
  xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", target});
  if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 20000)) {
    xclip.kill();
    return "(no answer)";
  }
  return xclip.readAllStandardOutput().toStdString();
}

TEST(OnX11, TheProgramSoundsItsCommandLineDatasetBeforeItsWindowAppears) {
  TempDir home;
  // The demo where a user keeps it, as the screenshot shows it: "~/fid-song/demo/1/fid",
  // from a folder that holds a "~" of its own (no shell expands it).
  copy_demo(home.path() / "~/fid-song/demo");
  const std::filesystem::path vFN = home.path() / "~/fid-song/demo/1/fid";
  const std::filesystem::path given = "~/fid-song/demo/1/fid";
  const auto scratch = home.path() / "fid-song/drive_c/temp";
  const auto played = home.path() / "played.raw";

  // What the sound request makes of this dataset, made here in-process.
  Workbench bench;
  write_file(bench.scratch("fid"), read_file(vFN));
  write_file(bench.scratch("title"), read_file(vFN.parent_path() / "pdata/1/title"));
  common::FormMemory memory;
  ASSERT_TRUE(sound::createsound(bench.services, memory, given.string(), 0, 0).played());

  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(home.path());
  RunningProcess program({FID_SONG, given.string()},
                         {{"XDG_DATA_HOME", home.path().string()},
                          {"SDL_AUDIODRIVER", "disk"},
                          {"SDL_DISKAUDIOFILE", played.string()}});
  std::filesystem::current_path(before);
  ASSERT_TRUE(program.started());
  unsigned long id = 0;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (id = viewable_window("FID-Song")) != 0; }, 20000));
  // The moment the window is there, the sound is made, complete, and playing.
  EXPECT_TRUE(same_bytes(read_file(scratch / "fid.wav"), read_file(bench.scratch("fid.wav"))));
  EXPECT_TRUE(same_bytes(read_file(scratch / "fid.xls"), read_file(bench.scratch("fid.xls"))));
  EXPECT_TRUE(std::filesystem::exists(played)) << "playback started";
  EXPECT_EQ(read_file(scratch / "spectrum.eps"), read_file(vFN.parent_path() / "pdata/1/ethanol_1h.ps"));

  // The spectrum, worked out beside the sound, fills the view in.
  QImage shot;
  (void)QTest::qWaitFor([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(id).toImage();
    // Drawn: on its light background, the lines.
    return shot.size() == QSize(462, 197 + 22 + 240 + 72) && dark_pixels(shot, {0, 219, 462, 240}) > 1000 &&
           dark_pixels(shot, {0, 219, 462, 240}) < 462 * 240 / 4;
  }, 20000);
  ASSERT_EQ(shot.size(), QSize(462, 197 + 22 + 240 + 72)) << "the form, the status line, the spectrum and its report";
  std::filesystem::create_directories(SCREENSHOT_DIR);
  EXPECT_TRUE(shot.save(SCREENSHOT_DIR "/window.png"));
  // Label1's area holds dark text: the path and the title; the view, the spectrum's lines.
  EXPECT_GT(dark_pixels(shot, {160, 16, 297, 97}), 200);
  EXPECT_GT(dark_pixels(shot, {0, 219, 462, 240}), 1000);
}

TEST(OnX11, TheSpectrumZoomedByKeysFillsTheWidenedWindow) {
  Workbench bench;
  // The demo where a user keeps it, as the screenshot shows it (see above).
  copy_demo(bench.root.path() / "~/fid-song/demo");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(bench.root.path());
  window::MainWindow w(bench.files, bench.media, "~/fid-song/demo/1/fid");
  w.startup();
  std::filesystem::current_path(before);
  ASSERT_TRUE(await_spectrum(&w));
  w.resize(720, 197 + 22 + 300 + 72);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto* view = w.findChild<QWidget*>("SpectrumView");
  view->setFocus();
  // The quartet stepped to, then zoomed about it: a twentieth of the spectrum.
  QTest::keyClick(view, Qt::Key_Period, Qt::ControlModifier);
  for (int i = 0; i < 4; ++i) QTest::keyClick(view, Qt::Key_Plus);
  const std::string said = view->accessibleDescription().toStdString();
  EXPECT_NE(said.find("; multiplet 1: 3.69 ppm, q, 2H"), std::string::npos) << said;
  QTest::qWait(200);
  const QImage shot = w.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(720, 591) * shot.devicePixelRatio());
  EXPECT_TRUE(shot.save(SCREENSHOT_DIR "/zoomed-view.png"));
  EXPECT_EQ(view->geometry(), QRect(0, 219, 720, 300)) << "the view takes the width the window is given";
  EXPECT_GT(dark_pixels(shot, {0, 219, 720, 300}), 1000);
}

TEST(OnX11, ViewSpectrumAsksTheDesktopToOpenTheScratchPlot) {
  Workbench bench;
  const auto vFN = copy_demo(bench.root.path() / "demo");
  window::MainWindow w(bench.files, bench.media, vFN.string());
  w.startup();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  // The stand-in xdg-open first on PATH writes its argument where this names.
  const auto record = bench.root.path() / "xdg-open.txt";
  ::setenv("FAKE_XDG_OPEN_RECORD", record.c_str(), 1);
  QTest::mouseClick(w.findChild<QWidget*>("Command3"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(record); }, 10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return read_file(record).find('\n') != std::string::npos; }, 2000));
  EXPECT_EQ(read_file(record), bench.scratch("spectrum.eps").string() + "\n");
}

TEST(OnX11, ArchiveDataAsksForANameWritesTheFolderAndOpensThePage) {
  Workbench bench;
  // The demo where a user keeps it, as the screenshot shows it (see above).
  copy_demo(bench.root.path() / "~/fid-song/demo");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(bench.root.path());
  window::MainWindow w(bench.files, bench.media, "~/fid-song/demo/1/fid");
  w.startup();
  std::filesystem::current_path(before);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const auto record = bench.root.path() / "xdg-open.txt";
  ::setenv("FAKE_XDG_OPEN_RECORD", record.c_str(), 1);

  // The input box is modal: it is answered from inside its own event loop.
  QString asked;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    asked = box->labelText();
    QTest::keyClicks(box->findChild<QLineEdit*>(), "run 1");
    QTest::keyClick(box->findChild<QLineEdit*>(), Qt::Key_Return);
  });
  QTest::mouseClick(w.findChild<QWidget*>("Command4"), Qt::LeftButton);
  EXPECT_EQ(asked, "Subdirectory of c:\\temp\\fidsong\\?");
  const auto folder = bench.resolve("C:\\temp\\fidsong\\run 1");
  for (const char* name : {"fid.bin", "acqus.txt", "spectrum.eps", "fid.wav", "index.htm"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << name;
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return read_file(record).find('\n') != std::string::npos; }, 10000));
  EXPECT_EQ(read_file(record), (folder / "index.htm").string() + "\n");
}

TEST(OnX11, TheProgramEndsWithinASecondOfItsWindowClosingDuringALongSound) {
  TempDir home;
  // Ten demo FIDs one after the other: a sound of 40 s, played at the device's own pace.
  const auto folder = home.path() / "long/1";
  write_file(folder / "fid", [] {
    std::string tenTimes;
    for (int i = 0; i < 10; ++i) tenTimes += read_file(DEMO_DIR "/1/fid");
    return tenTimes;
  }());
  RunningProcess program({FID_SONG, (folder / "fid").string()},
                         {{"XDG_DATA_HOME", home.path().string()},
                          {"SDL_AUDIODRIVER", "disk"},
                          {"SDL_DISKAUDIOFILE", (home.path() / "played.raw").string()},
                          {"SDL_DISKAUDIODELAY", ""}});
  unsigned long id = 0;
  ASSERT_TRUE(QTest::qWaitFor([&] { return (id = viewable_window("FID-Song")) != 0; }, 20000));
  QTest::qWait(300);
  ASSERT_TRUE(close_window(id));
  EXPECT_TRUE(program.ends_within(std::chrono::milliseconds(1000)));
}

TEST(OnX11, ADropAClickEscAndACloseReturnAtOnceWhileALongSoundPlays) {
  Workbench bench;
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", (bench.root.path() / "played.raw").c_str(), 1);
  ::unsetenv("SDL_DISKAUDIODELAY");
  auto media = std::make_unique<platform::SdlMedia>(bench.files.drive());
  auto w = std::make_unique<window::MainWindow>(bench.files, *media, copy_demo(bench.root.path() / "a").string());
  w->startup();
  w->show();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  w->findChild<QComboBox*>("Combo1")->setCurrentIndex(1);  // "x 0.125": 40 s
  QWidget* command1 = w->findChild<QWidget*>("Command1");
  const auto seconds_of = [](auto work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // Generous bounds: the benchmark measures these and holds them to 50 ms.
  EXPECT_LT(seconds_of([&] { QTest::mouseClick(command1, Qt::LeftButton); }), 0.25) << "a new 40 s sound";
  ASSERT_TRUE(media->playing().has_value());
  const auto other = copy_demo(bench.root.path() / "b");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other.string()))});
  EXPECT_LT(seconds_of([&] {
              const QPoint at = command1->mapTo(w.get(), command1->rect().center());
              QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
              QCoreApplication::sendEvent(w->windowHandle(), &enter);
              QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
              QCoreApplication::sendEvent(w->windowHandle(), &drop);
            }),
            0.25)
      << "a drop during the sound";
  EXPECT_LT(seconds_of([&] { QTest::mouseClick(command1, Qt::LeftButton); }), 0.25) << "a click during it";
  EXPECT_LT(seconds_of([&] { QTest::keyClick(w.get(), Qt::Key_Escape); }), 0.25) << "Esc";
  EXPECT_FALSE(media->playing().has_value()) << "Esc stopped it";
  QTest::mouseClick(command1, Qt::LeftButton);
  EXPECT_LT(seconds_of([&] {
              w->close();
              w.reset();
              media.reset();
            }),
            0.25)
      << "the window closing during the sound";
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// The shared strychnine as a new user meets it: its report under the view as report.txt
// holds it, copied for a word processor, a multiplet stepped to by a click on it.
TEST(OnX11, StrychninesReportIsShownCopiedAsTextAndHtmlAndStepsToTheMultipletClicked) {
  if (!std::filesystem::is_directory(shared_datasets())) GTEST_SKIP() << shared_datasets() << " is not beside the checkout";
  Workbench bench;
  window::MainWindow w(bench.files, bench.media, (shared_datasets() / "strychnine-1h/10").string());
  w.startup();
  ASSERT_TRUE(await_spectrum(&w));
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto* report = w.findChild<QPlainTextEdit*>("Report");
  const std::string expected = read_file(bench.scratch("report.txt"));
  ASSERT_TRUE(expected.starts_with("1H NMR (400 MHz, CDCl3) \u03b4 ")) << expected;
  EXPECT_EQ(report->toPlainText().toStdString(), expected);

  // Ctrl+C on the view: the paragraph as plain text and as HTML, read by another program.
  auto* view = w.findChild<QWidget*>("SpectrumView");
  view->setFocus();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  const std::string targets = clipboard_as("TARGETS");
  EXPECT_NE(targets.find("text/html"), std::string::npos) << targets;
  EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
  EXPECT_EQ(clipboard_as("UTF8_STRING"), expected);
  const std::string html = clipboard_as("text/html");
  EXPECT_TRUE(html.starts_with("<p><sup>1</sup>H NMR (400 MHz, CDCl3) \u03b4 ")) << html;
  EXPECT_NE(html.find("<i>J</i> = "), std::string::npos) << html;

  // A click on the third multiplet (after "δ " and two ", " that close a multiplet).
  const QString text = report->toPlainText();
  int third = static_cast<int>(text.indexOf(QStringLiteral("\u03b4 "))) + 2;
  for (int k = 0; k < 2; ++k) third = static_cast<int>(text.indexOf(QStringLiteral("), "), third)) + 3;
  const QString shift = text.mid(third, text.indexOf(' ', third) - third);
  QTextCursor cursor(report->document());
  cursor.setPosition(third + 1);
  report->setTextCursor(cursor);
  report->ensureCursorVisible();
  QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, report->cursorRect(cursor).center() + QPoint(2, 0));
  const QString status = w.findChild<QLabel*>("StatusLine")->text();
  EXPECT_TRUE(status.startsWith(QStringLiteral("Multiplet 3 of ")) && status.contains(QStringLiteral(": ") + shift + " ppm"))
      << status.toStdString() << " for " << shift.toStdString();
  ASSERT_EQ(report->extraSelections().size(), 1);
  EXPECT_TRUE(report->extraSelections().front().cursor.selectedText().startsWith(shift + " ("));
}

}  // namespace
