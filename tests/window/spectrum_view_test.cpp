// The spectrum's view under the form: explored by keys, wheel and drag, heard as shown,
// described to screen readers, drawn in the desktop's colours.
#include "window/qt/spectrum_view.hpp"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QWheelEvent>

#include "tests/support/sounds.hpp"
#include "tests/support/spectra.hpp"
#include "tests/window/window_fixture.hpp"

namespace {

using namespace testsupport;

class SpectrumViewTest : public WindowTest {
 protected:
  // Three protons' singlets off the whole tenths of a ppm, and a methyl far from them.
  SpectrumViewTest() {
    made.multiplets = {{7.93, {}, 1}, {7.47, {}, 1}, {7.12, {}, 1}, {3.0, {}, 3}};
    made.solventProtons = 0;
  }
  std::unique_ptr<window::MainWindow> open_made() {
    auto w = open(make_spectrum_dataset(bench.root.path() / "made/1", made).string());
    view = control<window::SpectrumView>(w.get(), "SpectrumView");
    return w;
  }
  spectrum::Range shown() const { return view->drawn()->range(); }
  std::string description() const {
    return QAccessible::queryAccessibleInterface(view)->text(QAccessible::Description).toStdString();
  }

  MadeSpectrum made;
  window::SpectrumView* view = nullptr;
};

TEST_F(SpectrumViewTest, KeysOnTheFocusedViewChangeTheRegionThatHearSpectrumThenPlays) {
  const auto w = open_made();
  const spectrum::Range whole = shown();
  EXPECT_NEAR(whole.left, 15, 0.01);
  EXPECT_NEAR(whole.right, -5, 0.01);
  // Reached by Tab after the last control, named and described for a screen reader.
  control(w.get(), "Command5")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), view);
  const auto chart = QAccessible::queryAccessibleInterface(view);
  EXPECT_EQ(chart->role(), QAccessible::Chart);
  EXPECT_EQ(chart->text(QAccessible::Name), "Spectrum");
  EXPECT_TRUE(chart->state().focusable && chart->state().focused);
  EXPECT_EQ(description(), "Spectrum of synthetic, 15.00 to -5.00 ppm, 4 multiplets");

  // To the middle singlet, then zoomed about it four times: 1.25 ppm, the three singlets.
  QTest::keyClick(view, Qt::Key_Period, Qt::ControlModifier);
  QTest::keyClick(view, Qt::Key_Period, Qt::ControlModifier);
  for (int i = 0; i < 4; ++i) QTest::keyClick(view, Qt::Key_Plus);
  QTest::keyClick(view, Qt::Key_Equal);
  QTest::keyClick(view, Qt::Key_Minus);
  const spectrum::Range region = shown();
  EXPECT_NEAR(region.width(), 20.0 / 16, 0.01);
  EXPECT_NEAR((region.left + region.right) / 2, 7.47, 0.01) << "about the multiplet stepped to";
  EXPECT_TRUE(description().starts_with("Spectrum of synthetic, 8.09 to 6.8") &&
              description().ends_with(" ppm, 3 multiplets; multiplet 2: 7.47 ppm, s, 1H"))
      << description();

  // "hear Spectrum" plays the region in the whole 10 s: each line where it maps.
  QTest::keyClick(view, Qt::Key_L, Qt::ControlModifier);
  const auto heard = lines_heard(samples_of_wave(read_file(bench.scratch("spectrum.wav"))), region.left, region.right);
  ASSERT_EQ(heard.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(heard[i], (region.left - made.multiplets[i].ppm) / region.width() * 10, 10.0 / 730) << i;
  }

  // Panned a quarter to the right (to lower shifts), then back, then whole again.
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_NEAR(shown().left, region.left - region.width() / 4, 0.001);
  QTest::keyClick(view, Qt::Key_Left);
  EXPECT_NEAR(shown().left, region.left, 0.001);
  QTest::keyClick(view, Qt::Key_Home);
  EXPECT_EQ(shown(), whole);
  EXPECT_EQ(description(), "Spectrum of synthetic, 15.00 to -5.00 ppm, 4 multiplets; multiplet 2: 7.47 ppm, s, 1H");
}

TEST_F(SpectrumViewTest, TheWheelZoomsUnderThePointerAndADragShowsWhatItSpans) {
  const auto w = open_made();
  const spectrum::Range whole = shown();
  const auto x_of = [&](double ppm) {
    const QRect r = view->rect();
    // The plot spans the view less its margins of 8 pixels.
    return 8 + (whole.left - ppm) / whole.width() * (r.width() - 16);
  };
  const QPointF at(x_of(3.0), view->height() / 2.0);
  QWheelEvent notch(at, view->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &notch);
  EXPECT_NEAR(shown().width(), whole.width() / 1.25, 0.01);
  EXPECT_NEAR((shown().left - 3.0) / shown().width(), (whole.left - 3.0) / whole.width(), 0.01) << "3 ppm stays put";

  QTest::keyClick(view, Qt::Key_Home);
  const int from = static_cast<int>(x_of(8.0)), to = static_cast<int>(x_of(7.0));
  QTest::mousePress(view, Qt::LeftButton, {}, {from, 100});
  QTest::mouseMove(view, {to, 100});
  QTest::mouseRelease(view, Qt::LeftButton, {}, {to, 100});
  const double pixel = whole.width() / (view->width() - 16);
  EXPECT_NEAR(shown().left, 8.0, 2 * pixel);
  EXPECT_NEAR(shown().right, 7.0, 2 * pixel);
  EXPECT_EQ(QApplication::focusWidget(), view) << "a click focuses it";
  // A click that does not drag changes nothing.
  QTest::mouseClick(view, Qt::LeftButton, {}, {from + 1, 100});
  EXPECT_NEAR(shown().left, 8.0, 2 * pixel);
}

TEST_F(SpectrumViewTest, ItIsDrawnInTheDesktopsColoursAndOnlyOnceThereIsASpectrum) {
  const auto empty = open();
  EXPECT_FALSE(control(empty.get(), "SpectrumView")->isVisible()) << "the window as the form alone";
  EXPECT_EQ(control(empty.get(), "SpectrumView")->focusPolicy(), Qt::NoFocus);

  // A dark theme: light lines on a dark ground.
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(20, 20, 20));
  dark.setColor(QPalette::Text, QColor(240, 240, 240));
  dark.setColor(QPalette::Highlight, QColor(0, 120, 255));
  const auto w = open_made();
  view->setPalette(dark);
  const QImage image = view->grab().toImage();
  EXPECT_EQ(image.pixelColor(image.width() / 2, 2), QColor(20, 20, 20));
  // The column of the methyl's line, the tallest, is drawn in the text's colour from near
  // the plot's top to its foot.
  const int x = static_cast<int>(std::lround((8 + (15 - 3.0) / 20 * (view->width() - 16)) * image.devicePixelRatio()));
  int lit = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int dx = -1; dx <= 1; ++dx) {
      if (image.pixelColor(x + dx, y) == QColor(240, 240, 240)) {
        ++lit;
        break;
      }
    }
  }
  // (The plot shares the view's height with the labels above it, the axis and the
  // protons under it.)
  EXPECT_GT(lit, image.height() / 4) << "the methyl's line";
  EXPECT_EQ(view->focusPolicy(), Qt::StrongFocus);
}

// Each multiplet's running integral in the palette's link colour: it climbs over the
// methyl's triplet from its foot; gone once zoomed narrower than a multiplet.
TEST_F(SpectrumViewTest, IntegralsAreDrawnOverTheirMultipletsUntilZoomedIntoOne) {
  made.multiplets.back().couplings = {7.0, 7.0};
  const auto w = open_made();
  QPalette marked = view->palette();
  const QColor ink(255, 0, 200);
  marked.setColor(QPalette::Link, ink);
  view->setPalette(marked);
  // The pixels in ink above the axis (under it, the protons' counts), as (column, row).
  const auto inked = [&](const QImage& image) {
    std::vector<std::pair<int, int>> at;
    const int axis = image.height() - static_cast<int>(3 * view->fontMetrics().height() * image.devicePixelRatio());
    for (int y = 0; y < axis; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == ink) at.emplace_back(x, y);
      }
    }
    return at;
  };
  // The methyl stepped to and zoomed about: 0.16 ppm across the view.
  view->setFocus();
  for (int i = 0; i < 4; ++i) QTest::keyClick(view, Qt::Key_Period, Qt::ControlModifier);
  for (int i = 0; i < 7; ++i) QTest::keyClick(view, Qt::Key_Plus);
  ASSERT_NEAR(shown().width(), 20.0 / 128, 0.001);
  const auto curve = inked(view->grab().toImage());
  ASSERT_FALSE(curve.empty());
  // From high shift to low, the curve rises: its first column low, its last high.
  const auto [first, last] = std::minmax_element(curve.begin(), curve.end());
  const int height = view->grab().toImage().height();
  EXPECT_GT(last->first - first->first, view->width() / 8) << "drawn across the triplet, not as one stroke";
  int lowest = 0, highest = height;
  for (const auto& [x, y] : curve) {
    if (x == first->first) lowest = std::max(lowest, y);
    if (x == last->first) highest = std::min(highest, y);
  }
  EXPECT_GT(lowest - highest, height / 10) << "the curve climbs by the methyl's 3 protons";

  // Zoomed into the triplet: no curve.
  for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Plus);
  ASSERT_LT(shown().width(), 0.02);
  EXPECT_TRUE(inked(view->grab().toImage()).empty());
}

}  // namespace
