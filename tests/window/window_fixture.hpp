// The Qt window as its tests open it, find its controls and drop files on it.
#pragma once

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QWindow>
#include <chrono>
#include <memory>

#include "tests/support/workbench.hpp"
#include "window/qt/main_window.hpp"

namespace testsupport {

class WindowTest : public ::testing::Test {
 protected:
  // A window after start-up with the given command line, shown as the program shows it.
  std::unique_ptr<window::MainWindow> open(const std::string& commandLine = "", platform::Media* media = nullptr) {
    auto w = std::make_unique<window::MainWindow>(bench.files, media ? *media : bench.media, commandLine);
    w->startup();
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    await_spectrum(w.get());
    return w;
  }
  // Until the window has shown the spectrum of the dataset last taken in, worked out
  // beside its sound.
  static void await_spectrum(window::MainWindow* w) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (w->spectrum_pending() && std::chrono::steady_clock::now() < until) QTest::qWait(2);
    EXPECT_FALSE(w->spectrum_pending()) << "the spectrum still worked out after 20 s";
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
    if (auto* main = dynamic_cast<window::MainWindow*>(w)) await_spectrum(main);
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
