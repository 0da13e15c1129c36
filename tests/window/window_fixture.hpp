// The Qt window as its tests open it, find its controls and drop files on it.
#pragma once

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QWindow>
#include <memory>

#include "tests/support/workbench.hpp"
#include "window/qt/main_window.hpp"

namespace testsupport {

// Until the window has shown the spectrum of the dataset last taken in, worked out beside
// its sound; false if it never did. Only a guard against a hang: a user's build works the
// shared strychnine out in 1.5 s, an unoptimised one under the sanitizers in 28 s.
inline bool await_spectrum(window::MainWindow* w) {
  return QTest::qWaitFor([&] { return !w->spectrum_pending(); }, 20000 * FIDSONG_TIME_FACTOR);
}

class WindowTest : public ::testing::Test {
 protected:
  // A window after start-up with the given command line, shown as the program shows it.
  std::unique_ptr<window::MainWindow> open(const std::string& commandLine = "", platform::Media* media = nullptr) {
    auto w = std::make_unique<window::MainWindow>(bench.files, media ? *media : bench.media, commandLine);
    w->startup();
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_TRUE(await_spectrum(w.get())) << "the spectrum was never shown";
    return w;
  }
  template <typename Control = QWidget>
  static Control* control(QWidget* w, const char* name) {
    auto* found = w->findChild<Control*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  std::filesystem::path demo_copy(const std::string& folder) {
    return copy_demo(bench.root.path() / folder);
  }
  // Drops data at a point of the window as the window system delivers it: to the widget
  // under the point that accepts drops, if any. True when the drop was taken.
  static bool drop(QWidget* w, QWidget* on, std::unique_ptr<QMimeData> data) {
    const QPoint at = on->mapTo(w, on->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->windowHandle(), &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->windowHandle(), &dropped);
    if (auto* main = dynamic_cast<window::MainWindow*>(w)) {
      EXPECT_TRUE(await_spectrum(main)) << "the spectrum was never shown";
    }
    return dropped.isAccepted();
  }
  static std::unique_ptr<QMimeData> files(const std::vector<std::string>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const auto& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    data->setUrls(urls);
    return data;
  }

  Workbench bench;
};

}  // namespace testsupport
