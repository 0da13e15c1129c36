// How long the window's handlers hold its event loop while a long sound plays.
#include "bench/window_latency.hpp"

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/sdl_media.hpp"
#include "window/qt/main_window.hpp"
#include "window/qt/spectrum_view.hpp"

namespace bench {
namespace {

namespace fs = std::filesystem;

double ms_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

template <typename Work>
double ms_of(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return ms_since(start);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A file dropped on the large button, as the window system delivers it.
void drop_on(window::MainWindow& w, const fs::path& file) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
  auto* command1 = w.findChild<QPushButton*>("Command1");
  const QPoint at = command1->mapTo(&w, command1->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.windowHandle(), &enter);
  QDropEvent event(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.windowHandle(), &event);
}

}  // namespace

bool print_window_latency(const fs::path& root) {
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", (root / "played.raw").c_str(), 1);
  ::unsetenv("SDL_DISKAUDIODELAY");
  const fs::path dataset = root / "window/1";
  fs::create_directories(dataset.parent_path());
  fs::copy(fs::path(DEMO_FID).parent_path(), dataset, fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  platform::FileSystem files(platform::Drive(root / "window-drive"));
  std::vector<double> drop, sound, dropPlaying, esc, close;
  bool played = true;
  for (int run = 0; run < 5; ++run) {
    auto media = std::make_unique<platform::SdlMedia>(files.drive());
    auto w = std::make_unique<window::MainWindow>(files, *media, "");
    w->startup();
    w->show();
    w->activateWindow();  // keys reach a window's shortcuts only while it is the active one
    played = QTest::qWaitForWindowActive(w.get()) && played;
    // Nothing is dropped on a window in its first moments: by then the last run's device,
    // closed beside the program, has gone too.
    QTest::qWait(200);
    w->findChild<QComboBox*>("Combo1")->setCurrentIndex(1);  // "x 0.125": 40 s of the demo
    auto* command1 = w->findChild<QPushButton*>("Command1");
    const auto dropped = [&] { drop_on(*w, dataset / "fid"); };
    drop.push_back(ms_of(dropped));  // the demo taken in; its 40 s sound starts
    played = played && media->playing().has_value();
    sound.push_back(ms_of([&] { QTest::mouseClick(command1, Qt::LeftButton); }));  // a new one
    dropPlaying.push_back(ms_of(dropped));
    esc.push_back(ms_of([&] { QTest::keyClick(w.get(), Qt::Key_Escape); }));
    played = played && !media->playing().has_value();
    QTest::mouseClick(command1, Qt::LeftButton);
    close.push_back(ms_of([&] {
      w->close();
      w.reset();
      media.reset();
    }));
  }
  std::printf("window, median ms (SDL's disk driver): a drop that starts a 40 s sound %.1f; while it plays: "
              "a click that starts another %.1f, a drop %.1f, Esc %.1f, closing the window %.1f (the bar: 50 each)\n",
              median(drop), median(sound), median(dropPlaying), median(esc), median(close));
  return played;
}

bool print_view_latency(const fs::path& root, const fs::path& fid) {
  platform::FileSystem files(platform::Drive(root / "view-drive"));
  platform::SdlMedia media(files.drive());
  window::MainWindow w(files, media, "");
  w.startup();
  w.show();
  w.activateWindow();
  bool ok = QTest::qWaitForWindowActive(&w);
  QTest::qWait(200);
  // The drop returns once the sound plays; the view fills in when the spectrum, worked
  // out beside it, is ready.
  const auto dropped = std::chrono::steady_clock::now();
  const double drop = ms_of([&] { drop_on(w, fid); });
  const bool playing = media.playing().has_value();
  const double sounding = ms_since(dropped);
  auto* view = w.findChild<window::SpectrumView*>("SpectrumView");
  while (w.spectrum_pending() && ms_since(dropped) < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  view->repaint();
  const double shown = ms_since(dropped);
  // Widened, as a user widens it to see the spectrum closer.
  const double widened = ms_of([&] {
    w.resize(1920, 219 + 400);
    QCoreApplication::sendPostedEvents();
    view->repaint();
  });
  ok = ok && playing && view->drawn() && view->width() == 1920;
  view->setFocus();
  // Each key returns once the view is drawn anew: the handler and the redraw it asks for.
  const struct {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
  } keys[] = {{"+", Qt::Key_Plus, {}},      {"Ctrl+.", Qt::Key_Period, Qt::ControlModifier},
              {"+", Qt::Key_Plus, {}},      {"Right", Qt::Key_Right, {}},
              {"Left", Qt::Key_Left, {}},   {"-", Qt::Key_Minus, {}},
              {"Home", Qt::Key_Home, {}}};
  double longest = 0;
  const char* slowest = "";
  std::vector<double> frames;
  for (int run = 0; run < 5; ++run) {
    for (const auto& k : keys) {
      const double ms = ms_of([&] {
        QTest::keyClick(view, static_cast<Qt::Key>(k.key), k.modifiers);
        view->repaint();
      });
      if (ms > longest) longest = ms, slowest = k.name;
      frames.push_back(ms_of([&] { view->repaint(); }));  // the playhead's
    }
  }
  ok = ok && media.playing().has_value();
  std::printf("view of a 262144-point spectrum, 1920 pixels wide, ms: the drop returns %.1f (the bar: 20), its sound "
              "plays at %.1f (50), the view drawn at %.1f (100); while it plays: the longest key with its redraw %.1f (%s), "
              "widening the window %.1f, a playhead frame %.2f median, %.2f longest (50 each)\n",
              drop, sounding, shown, longest, slowest, widened, median(frames), *std::max_element(frames.begin(), frames.end()));
  media.stop();
  return ok;
}

}  // namespace bench
