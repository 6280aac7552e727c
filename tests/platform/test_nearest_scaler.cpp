#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "game/sdl/video/color_table.h"
#include "game/sdl/video/nearest_scaler.h"

namespace zorvane {
namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;

// Source pixel values are their own colours here, so a target pixel names the source pixel
// it came from.
std::vector<uint32_t> IdentityColors() {
  std::vector<uint32_t> colors(65536);
  std::iota(colors.begin(), colors.end(), 0u);
  return colors;
}

// A width x height source whose pixel (x, y) holds y * 100 + x.
std::vector<uint16_t> NumberedSource(int width, int height) {
  std::vector<uint16_t> source;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) source.push_back(static_cast<uint16_t>(y * 100 + x));
  }
  return source;
}

template <typename Pixel>
struct Target {
  Target(int width, int height, int padding = 0)
      : width(width),
        height(height),
        stride(width + padding),
        pixels(static_cast<size_t>(stride) * height, static_cast<Pixel>(kUntouched)) {}
  PixelTarget view() {
    return {pixels.data(), stride * static_cast<int>(sizeof(Pixel)), sizeof(Pixel), width, height};
  }
  Pixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * stride + x]; }
  int width, height, stride;
  std::vector<Pixel> pixels;
};

TEST(NearestScalerTest, EachPictureRectangleTakesTheSourcePixelUnderItsCentre) {
  struct Case {
    const char* name;
    int sourceWidth, sourceHeight;
    PicturePlacement area;
    // The source pixel each target pixel of the area shows, row by row, as y * 100 + x.
    std::vector<uint16_t> expected;
  } const cases[] = {
      {"1x", 2, 2, {0, 0, 2, 2, 1}, {0, 1, 100, 101}},
      {"2x repeats every pixel twice each way",
       2,
       2,
       {0, 0, 4, 4, 2},
       {0, 0, 1, 1, 0, 0, 1, 1, 100, 100, 101, 101, 100, 100, 101, 101}},
      {"twice as wide, as tall", 2, 2, {0, 0, 4, 2, 0}, {0, 0, 1, 1, 100, 100, 101, 101}},
      {"3x", 2, 1, {0, 0, 6, 3, 3}, {0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 1}},
      {"offset into the target", 2, 2, {3, 1, 2, 2, 1}, {0, 1, 100, 101}},
      {"halved takes the second of each pair", 4, 4, {0, 0, 2, 2, 0}, {101, 103, 301, 303}},
      {"shrunk unevenly", 4, 2, {0, 0, 3, 1, 0}, {100, 102, 103}},
  };
  const std::vector<uint32_t> colors = IdentityColors();
  for (const Case& c : cases) {
    Target<uint32_t> target(8, 6);
    NearestScaler scaler;
    const std::vector<uint16_t> source = NumberedSource(c.sourceWidth, c.sourceHeight);
    ASSERT_TRUE(
        scaler.Draw(source.data(), c.sourceWidth, c.sourceHeight, colors, target.view(), c.area))
        << c.name;
    for (int y = 0; y < target.height; ++y) {
      for (int x = 0; x < target.width; ++x) {
        const bool inside = x >= c.area.x && x < c.area.x + c.area.width && y >= c.area.y &&
                            y < c.area.y + c.area.height;
        const uint32_t want =
            inside ? c.expected[static_cast<size_t>((y - c.area.y) * c.area.width + x - c.area.x)]
                   : kUntouched;
        EXPECT_EQ(target.at(x, y), want) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(NearestScalerTest, TwoBytePixelsAndPaddedRowsConvertThroughTheColours) {
  std::vector<uint32_t> colors(65536, 0);
  colors[7] = 0x1234;
  colors[9] = 0xABCD;
  const std::vector<uint16_t> source = {7, 9};
  Target<uint16_t> target(4, 2, 3);
  NearestScaler scaler;
  ASSERT_TRUE(scaler.Draw(source.data(), 2, 1, colors, target.view(), {0, 0, 4, 2, 2}));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(target.at(0, y), 0x1234);
    EXPECT_EQ(target.at(1, y), 0x1234);
    EXPECT_EQ(target.at(2, y), 0xABCD);
    EXPECT_EQ(target.at(3, y), 0xABCD);
    // The padding at the end of each row is left alone.
    for (int x = 4; x < 7; ++x) EXPECT_EQ(target.pixels[static_cast<size_t>(y) * 7 + x], 0xBEEF);
  }
}

TEST(NearestScalerTest, RefusesWhatDoesNotFitAndDrawsNothing) {
  struct Case {
    const char* name;
    PicturePlacement area;
    int bytesPerPixel;
  } const cases[] = {
      {"past the right edge", {7, 0, 2, 2, 1}, 4}, {"past the bottom", {0, 5, 2, 2, 1}, 4},
      {"left of the target", {-1, 0, 2, 2, 1}, 4}, {"empty", {0, 0, 0, 0, 0}, 4},
      {"three-byte pixels", {0, 0, 2, 2, 1}, 3},
  };
  const std::vector<uint32_t> colors = IdentityColors();
  const std::vector<uint16_t> source = NumberedSource(2, 2);
  for (const Case& c : cases) {
    Target<uint32_t> target(8, 6);
    PixelTarget view = target.view();
    view.bytesPerPixel = c.bytesPerPixel;
    NearestScaler scaler;
    EXPECT_FALSE(scaler.Draw(source.data(), 2, 2, colors, view, c.area)) << c.name;
    for (uint32_t pixel : target.pixels) ASSERT_EQ(pixel, kUntouched) << c.name;
  }
}

TEST(ColorTableTest, ExpandsEachChannelByRepeatingItsBits) {
  struct Case {
    uint16_t pixel;
    int r, g, b;
  } const cases[] = {
      {0x0000, 0, 0, 0},   {0xFFFF, 255, 255, 255}, {0xF800, 255, 0, 0},     {0x07E0, 0, 255, 0},
      {0x001F, 0, 0, 255}, {0x0821, 8, 4, 8},       {0x8410, 132, 130, 132}, {0x1082, 16, 16, 16},
  };
  for (const Case& c : cases) {
    const Rgb8 rgb = ExpandRgb565(c.pixel);
    EXPECT_EQ(rgb.r, c.r) << std::hex << c.pixel;
    EXPECT_EQ(rgb.g, c.g) << std::hex << c.pixel;
    EXPECT_EQ(rgb.b, c.b) << std::hex << c.pixel;
  }
}

TEST(ColorTableTest, MapsIntoTheTargetFormat) {
  SDL_PixelFormat* xrgb = SDL_AllocFormat(SDL_PIXELFORMAT_RGB888);
  SDL_PixelFormat* rgb565 = SDL_AllocFormat(SDL_PIXELFORMAT_RGB565);
  ASSERT_NE(xrgb, nullptr);
  ASSERT_NE(rgb565, nullptr);
  const std::vector<uint32_t> wide = MakeColorTable(*xrgb);
  EXPECT_EQ(wide[0xF800], 0x00FF0000u);
  EXPECT_EQ(wide[0x8410], 0x00848284u);
  EXPECT_EQ(wide[0x001F], 0x000000FFu);
  // On a 16-bit RGB565 screen every colour is shown as it is.
  const std::vector<uint32_t> same = MakeColorTable(*rgb565);
  for (uint32_t pixel = 0; pixel < 65536; ++pixel) ASSERT_EQ(same[pixel], pixel);
  SDL_FreeFormat(xrgb);
  SDL_FreeFormat(rgb565);
}

}  // namespace
}  // namespace zorvane
