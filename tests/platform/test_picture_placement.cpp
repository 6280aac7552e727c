#include <gtest/gtest.h>

#include "game/sdl/video/picture_placement.h"

namespace zorvane {
namespace {

TEST(PicturePlacementTest, LargestWholeMultipleCentredOrShrunkToFit) {
  struct Case {
    int screenWidth, screenHeight;
    int x, y, width, height, scale;
  } const cases[] = {
      {640, 480, 0, 0, 640, 480, 1},
      {1280, 960, 0, 0, 1280, 960, 2},
      {1920, 1080, 320, 60, 1280, 960, 2},
      {1024, 768, 192, 144, 640, 480, 1},
      {1279, 959, 319, 239, 640, 480, 1},
      {800, 600, 80, 60, 640, 480, 1},
      {2560, 1440, 320, 0, 1920, 1440, 3},
      // The smaller of the two ratios decides: 6 across but 4 down.
      {3840, 2160, 640, 120, 2560, 1920, 4},
      // Too small for one: the largest 4:3 rectangle, centred.
      {320, 240, 0, 0, 320, 240, 0},
      {639, 480, 0, 0, 639, 479, 0},
      {600, 480, 0, 15, 600, 450, 0},
      {640, 400, 53, 0, 533, 400, 0},
      // No screen to speak of: nothing is drawn.
      {0, 0, 0, 0, 0, 0, 0},
      {-5, 480, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const PicturePlacement p = PlacePicture(c.screenWidth, c.screenHeight, 640, 480);
    const std::string where = std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight);
    EXPECT_EQ(p.x, c.x) << where;
    EXPECT_EQ(p.y, c.y) << where;
    EXPECT_EQ(p.width, c.width) << where;
    EXPECT_EQ(p.height, c.height) << where;
    EXPECT_EQ(p.scale, c.scale) << where;
  }
}

}  // namespace
}  // namespace zorvane
