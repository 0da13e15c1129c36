// Where each control of the window stands, in twips, and their conversion to pixels.
#pragma once

#include <QRect>

namespace window {

// 1440 twips to the inch and 96 pixels to the inch at the reference density: 15 twips a
// pixel. Qt scales these logical pixels on denser displays.
constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// Left, top, width and height in twips, as logical pixels.
constexpr QRect twips(int left, int top, int width, int height) {
  return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

constexpr int kClientWidth = 6930;
constexpr int kClientHeight = 2955;
// The status line under the form, in pixels.
constexpr int kStatusHeight = 22;
constexpr int kFormHeight = pixels(kClientHeight) + kStatusHeight;
// The spectrum's view under them: its height at first, and the least it may be given.
constexpr int kViewHeight = 240;
constexpr int kLeastViewHeight = 160;
// The report under the view.
constexpr int kReportHeight = 72;

}  // namespace window
