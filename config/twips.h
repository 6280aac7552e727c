#pragma once

#include <QRect>

namespace zorvane {

// The dialog's layout is measured in twips, 15 to a pixel; Qt's high-DPI scaling maps these
// logical pixels to the screen.
inline constexpr int kTwipsPerPixel = 15;

constexpr int PixelsFromTwips(int twips) { return twips / kTwipsPerPixel; }

constexpr QRect RectFromTwips(int left, int top, int width, int height) {
  return QRect(PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
               PixelsFromTwips(height));
}

}  // namespace zorvane
