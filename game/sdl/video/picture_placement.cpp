#include "game/sdl/video/picture_placement.h"

#include <algorithm>

namespace zorvane {

PicturePlacement PlacePicture(int screenWidth, int screenHeight, int pictureWidth,
                              int pictureHeight) {
  PicturePlacement placement;
  if (screenWidth <= 0 || screenHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
    return placement;
  }
  placement.scale = std::min(screenWidth / pictureWidth, screenHeight / pictureHeight);
  if (placement.scale >= 1) {
    placement.width = pictureWidth * placement.scale;
    placement.height = pictureHeight * placement.scale;
  } else if (static_cast<long long>(screenWidth) * pictureHeight <=
             static_cast<long long>(screenHeight) * pictureWidth) {
    // Narrower than the picture's shape: the width decides.
    placement.width = screenWidth;
    placement.height =
        static_cast<int>(static_cast<long long>(screenWidth) * pictureHeight / pictureWidth);
  } else {
    placement.height = screenHeight;
    placement.width =
        static_cast<int>(static_cast<long long>(screenHeight) * pictureWidth / pictureHeight);
  }
  placement.x = (screenWidth - placement.width) / 2;
  placement.y = (screenHeight - placement.height) / 2;
  return placement;
}

}  // namespace zorvane
