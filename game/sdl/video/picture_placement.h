#pragma once

namespace zorvane {

// The game's picture: the display mode it asks for, which the screens show it at.
inline constexpr int kPictureWidth = 640;
inline constexpr int kPictureHeight = 480;
inline constexpr int kPictureBits = 16;

// Where the game's picture goes on a screen: a rectangle in screen pixels, and the whole
// multiple it is shown at (0 when the screen is too small for even one and it is shrunk).
struct PicturePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int scale = 0;
};

// The largest whole multiple of the picture that fits the screen, centred; on a screen smaller
// than the picture, the largest rectangle of the picture's shape that fits, centred. The rest of
// the screen is black.
PicturePlacement PlacePicture(int screenWidth, int screenHeight, int pictureWidth,
                              int pictureHeight);

}  // namespace zorvane
