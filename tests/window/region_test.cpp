// The region of the axis shown: zoomed, panned and kept within the spectrum.
#include "window/region.hpp"

#include <gtest/gtest.h>

namespace {

using window::Range;

void expect_range(const Range& got, const Range& expected) {
  EXPECT_NEAR(got.left, expected.left, 1e-12);
  EXPECT_NEAR(got.right, expected.right, 1e-12);
}

TEST(Region, ZoomedAndPannedItStaysWithinTheWholeAndNoNarrowerThanAsked) {
  const Range whole{10, 0};
  // Zoomed, the fixed value stands where it stood: a third of the way across.
  expect_range(window::zoomed({9, 6}, 3, 8), {8 + 1.0 / 3, 8 - 2.0 / 3});
  expect_range(window::zoomed({9, 6}, 0.5, 9), {9, 3});
  expect_range(window::panned({9, 6}, 0.5), {7.5, 4.5});  // to the right: toward lower values
  expect_range(window::centred({9, 6}, 2), {3.5, 0.5});

  // Past an end, moved back whole rather than cut; given high to low or low to high.
  expect_range(window::clamped({12, 8}, whole, 0.1), {10, 6});
  expect_range(window::clamped({-3, 1}, whole, 0.1), {4, 0});
  expect_range(window::clamped({5, 4.99}, whole, 0.5), {5.245, 4.745});
  expect_range(window::clamped({9.99, 9.98}, whole, 0.5), {10, 9.5});
  // As wide as the whole or wider: the whole itself.
  EXPECT_EQ(window::clamped({30, -30}, whole, 0.1), whole);
  EXPECT_EQ(window::clamped({3, 2}, whole, 20), whole);
  EXPECT_TRUE(whole.holds(0) && whole.holds(10) && !whole.holds(10.01));
}

}  // namespace
