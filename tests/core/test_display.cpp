#include <gtest/gtest.h>

#include "game/display/bitmap_file.h"
#include "game/display/direct_draw.h"
#include "game/display/headless_screen.h"
#include "game/display/text_painter.h"
#include "settings/runtime_error.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

using test::Rgb;
using test::TempDir;

Surface Load(const TempDir& dir, const std::string& name, int w, int h,
             const std::function<Rgb(int, int)>& colour) {
  test::WriteBitmap(dir / name, w, h, colour);
  return LoadBitmapFile(dir / name);
}

// A bitmap file made byte by byte: the file header, an info header of 40 bytes (or the OS/2 one
// of 12), the palette and then `data` as the pixels.
std::string BitmapBytes(int32_t width, int32_t height, int bitCount, uint32_t compression,
                        const std::string& palette, const std::string& data, bool os2 = false) {
  std::string bytes;
  const auto put = [&](uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  const uint32_t headerSize = os2 ? 12 : 40;
  bytes += "BM";
  put(0, 4);
  put(0, 4);
  put(14 + headerSize + static_cast<uint32_t>(palette.size()), 4);
  put(headerSize, 4);
  put(static_cast<uint32_t>(width), os2 ? 2 : 4);
  put(static_cast<uint32_t>(height), os2 ? 2 : 4);
  put(1, 2);
  put(static_cast<uint32_t>(bitCount), 2);
  if (!os2) {
    put(compression, 4);
    for (int unused = 0; unused < 3; ++unused) put(0, 4);  // image size, resolution
    put(static_cast<uint32_t>(palette.size() / 4), 4);
    put(0, 4);
  }
  return bytes + palette + data;
}

struct HeaderCase {
  const char* what;
  std::string bytes;
  const char* refusal;  // nullptr: the picture loads, at width x height
  int width = 0, height = 0;
};

// Writes each case's file and loads it: either its picture or a bitmap error with the refusal.
void ExpectLoadsOrRefuses(const std::vector<HeaderCase>& cases) {
  TempDir dir;
  for (const HeaderCase& c : cases) {
    test::WriteFile(dir / "case.bmp", c.bytes);
    try {
      const Surface s = LoadBitmapFile(dir / "case.bmp");
      EXPECT_EQ(c.refusal, nullptr) << c.what << ": loaded";
      EXPECT_EQ(s.width(), c.width) << c.what;
      EXPECT_EQ(s.height(), c.height) << c.what;
    } catch (const RuntimeError& e) {
      ASSERT_NE(c.refusal, nullptr) << c.what << ": " << e.what();
      EXPECT_EQ(e.kind(), ErrorKind::Bitmap) << c.what;
      EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
    }
  }
}

TEST(Bitmap, ConvertsToRgb565ByTruncation) {
  TempDir dir;
  const Rgb colours[] = {{0, 0, 0}, {4, 2, 4}, {7, 3, 7}, {8, 4, 8}, {255, 255, 255}, {255, 0, 0}};
  const uint16_t expected[] = {0x0000, 0x0000, 0x0000, 0x0821, 0xFFFF, 0xF800};
  const Surface s = Load(dir, "c.bmp", 6, 1, [&](int x, int) { return colours[x]; });
  ASSERT_EQ(s.width(), 6);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(s.Pixel(x, 0), expected[x]) << x;
}

TEST(Bitmap, FailuresAreBitmapErrorsNamingTheFile) {
  TempDir dir;
  test::WriteFile(dir / "garbage.bmp", "this is not a bitmap at all, not even close to one.....");
  test::WriteFile(dir / "empty.bmp", "");
  // A header that claims a picture of 100000 x 100000 is refused before anything is allocated.
  test::WriteBitmap(dir / "small.bmp", 2, 2, [](int, int) { return Rgb{1, 2, 3}; });
  std::string huge = test::ReadFile(dir / "small.bmp");
  for (int at : {18, 22}) {
    huge[at] = '\xA0';
    huge[at + 1] = '\x86';
    huge[at + 2] = '\x01';
  }
  test::WriteFile(dir / "huge.bmp", huge);
  for (const char* name : {"absent.bmp", "garbage.bmp", "empty.bmp", "huge.bmp"}) {
    try {
      LoadBitmapFile(dir / name);
      ADD_FAILURE() << name;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Bitmap) << name;
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
      if (std::string(name) == "huge.bmp") {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
      }
    }
  }
}

// Pixel data is read row by row, each row padded to four bytes except that the last one need
// not be: a file shorter than that cannot hold its picture and is refused before SDL allocates it.
TEST(Bitmap, UncompressedPicturesThatCannotFitInTheFileAreRefused) {
  const std::string black2(8, '\0');
  const char* tooShort = "the file is too short for a picture of";
  ExpectLoadsOrRefuses({
      {"16000 x 16000 in 64 bytes", BitmapBytes(16000, 16000, 24, 0, "", std::string(64, 'x')),
       "the file is too short for a picture of 16000 x 16000"},
      {"2 bits, 16000 x 16000 in 64 bytes",
       BitmapBytes(16000, 16000, 2, 0, "", std::string(64, 'x')), tooShort},
      {"32 bits, exact", BitmapBytes(3, 3, 32, 0, "", std::string(36, 'x')), nullptr, 3, 3},
      {"32 bits, a byte short", BitmapBytes(3, 3, 32, 0, "", std::string(35, 'x')), tooShort},
      {"1 bit, last row unpadded", BitmapBytes(9, 3, 1, 0, black2, std::string(10, 'x')), nullptr,
       9, 3},
      {"1 bit, a byte short", BitmapBytes(9, 3, 1, 0, black2, std::string(9, 'x')), tooShort},
      {"1 bit top-down, exact", BitmapBytes(9, -3, 1, 0, black2, std::string(10, 'x')), nullptr, 9,
       3},
      {"1 bit top-down, a byte short", BitmapBytes(9, -3, 1, 0, black2, std::string(9, 'x')),
       "the file is too short for a picture of 9 x 3"},
      {"OS/2 header, whole rows", BitmapBytes(2, 2, 24, 0, "", std::string(16, 'x'), true), nullptr,
       2, 2},
      {"OS/2 header, short of the last row",
       BitmapBytes(2, 2, 24, 0, "", std::string(13, 'x'), true), tooShort},
  });
  // A header cut short after the depth: SDL reads the missing fields as zeros and goes on.
  const std::string cutShort = BitmapBytes(16000, 16000, 16, 0, "", "").substr(0, 30);
  ExpectLoadsOrRefuses(
      {{"header cut short", cutShort, "too short for a picture of 16000 x 16000"}});
  // Pixel data said to start past the end of the file.
  std::string pastEnd = BitmapBytes(2, 2, 24, 0, "", std::string(16, 'x'));
  pastEnd[13] = '\x7F';
  ExpectLoadsOrRefuses({{"offset past the end", pastEnd, tooShort}});
}

// Run-length data can leave the rest of a picture blank in two bytes. Up to a megapixel passes
// as it is; above it the data must hold a byte per 128 pixels, as a file written run by run does.
TEST(Bitmap, RunLengthDataTooShortForALargePictureIsRefused) {
  const std::string palette = std::string(4, '\0') + std::string("\0\0\xFF\0", 4);
  const std::string endOfBitmap("\0\1", 2);
  ExpectLoadsOrRefuses({
      {"16000 x 16000, end of bitmap at once",
       BitmapBytes(16000, 16000, 8, 1, palette, endOfBitmap),
       "the compressed data is too short for a picture of 16000 x 16000"},
      {"a megapixel, end of bitmap at once", BitmapBytes(1024, 1024, 8, 1, palette, endOfBitmap),
       nullptr, 1024, 1024},
      {"a row more, end of bitmap at once", BitmapBytes(1024, 1025, 8, 1, palette, endOfBitmap),
       "the compressed data is too short for a picture of 1024 x 1025"},
      {"4 bits, 4000 x 4000, end of bitmap at once",
       BitmapBytes(4000, 4000, 4, 2, palette, endOfBitmap), "the compressed data is too short"},
  });
  // The longest runs there are, 255 pixels of colour 1 in two bytes, and an end of line a row.
  std::string runs;
  for (int row = 0; row < 600; ++row) {
    for (int run = 0; run < 8; ++run) runs += "\xFF\x01";
    runs += std::string("\0\0", 2);
  }
  TempDir dir;
  test::WriteFile(dir / "runs.bmp", BitmapBytes(2040, 600, 8, 1, palette, runs + endOfBitmap));
  const Surface loaded = LoadBitmapFile(dir / "runs.bmp");
  ASSERT_EQ(loaded.width(), 2040);
  ASSERT_EQ(loaded.height(), 600);
  EXPECT_EQ(loaded.Pixel(0, 0), 0xF800);
  EXPECT_EQ(loaded.Pixel(2039, 599), 0xF800);
}

TEST(Blit, ColourKeyLeavesOutBlackAndPixelsThatBecomeBlack) {
  TempDir dir;
  const Rgb colours[] = {{0, 0, 0}, {4, 2, 4}, {8, 4, 8}, {200, 10, 10}};
  Surface block = Load(dir, "k.bmp", 4, 1, [&](int x, int) { return colours[x]; });
  block.SetColorKey(0);
  Surface target(8, 2);
  target.ColorFill({0, 0, 8, 2}, 0x1234);
  block.SetColorKey(0);
  target.BltFast(2, 1, block, {0, 0, 4, 1}, true);
  EXPECT_EQ(target.Pixel(2, 1), 0x1234);
  EXPECT_EQ(target.Pixel(3, 1), 0x1234);
  EXPECT_EQ(target.Pixel(4, 1), 0x0821);
  EXPECT_EQ(target.Pixel(5, 1), block.Pixel(3, 0));
  // Without the key the same pixels are drawn black.
  target.BltFast(2, 0, block, {0, 0, 4, 1}, false);
  EXPECT_EQ(target.Pixel(2, 0), 0);
  EXPECT_EQ(target.Pixel(3, 0), 0);
}

TEST(Blit, NeverClips) {
  Surface source(30, 30);
  source.ColorFill({}, 0xFFFF);
  struct Case {
    int x, y;
    bool drawn;
  } cases[] = {{0, 0, true},     {610, 450, true}, {611, 100, false}, {100, 451, false},
               {-1, 100, false}, {100, -1, false}, {5000, 0, false},  {0, 2147483647, false}};
  for (const Case& c : cases) {
    Surface target(640, 480);
    bool ok = true;
    try {
      target.BltFast(c.x, c.y, source, {0, 0, 30, 30}, true);
    } catch (const RuntimeError&) {
      ok = false;
    }
    EXPECT_EQ(ok, c.drawn) << c.x << "," << c.y;
    if (!c.drawn) {
      for (int i = 0; i < 640 * 480; ++i) ASSERT_EQ(target.pixels()[i], 0) << "drew part of it";
    }
  }
  Surface big(641, 10);
  Surface target(640, 480);
  EXPECT_THROW(target.BltFast(0, 0, big, {0, 0, 641, 10}, false), RuntimeError);
}

// Text is written in its one colour, the same pixels wherever it goes, within a line's height
// and a little past its width (a last glyph may lean out); what falls off the surface is left
// out, and without a font nothing is written.
TEST(Text, WritesTheSamePixelsInItsBoxAndClipsAtTheEdges) {
  const TextPainter painter(12);
  const std::string text = "zorvane --join 10.0.0.1:24760";
  const int width = painter.Width(text);
  const int height = painter.LineHeight();
  ASSERT_GT(width, 100);
  ASSERT_GT(height, 8);
  Surface whole(width + 10, height + 10);
  painter.Write(whole, 0, 0, text, 0xffff);
  int lit = 0;
  for (int y = 0; y < whole.height(); ++y) {
    for (int x = 0; x < whole.width(); ++x) {
      if (whole.Pixel(x, y) == 0) continue;
      ++lit;
      EXPECT_TRUE(x < width + 3 && y < height) << x << "," << y;
    }
  }
  EXPECT_GT(lit, width);
  EXPECT_LT(lit, width * height / 2);
  const struct {
    int x, y;
  } places[] = {{5, 7}, {-9, 0}, {0, -5}, {40, 30}, {-width, 0}, {200, 200}};
  for (const auto& at : places) {
    Surface target(width + 10, height + 10);
    painter.Write(target, at.x, at.y, text, 0x07e0);
    for (int y = 0; y < target.height(); ++y) {
      for (int x = 0; x < target.width(); ++x) {
        const int u = x - at.x, v = y - at.y;
        const bool inside = u >= 0 && u < whole.width() && v >= 0 && v < whole.height();
        const bool expected = inside && whole.Pixel(u, v) == 0xffff;
        ASSERT_EQ(target.Pixel(x, y), expected ? 0x07e0 : 0) << at.x << "," << at.y;
      }
    }
  }
  const TextPainter noFont(12, "/nonexistent/font.ttf");
  Surface untouched(50, 20);
  noFont.Write(untouched, 0, 0, text, 0xffff);
  EXPECT_EQ(noFont.Width(text), 0);
  EXPECT_EQ(untouched.Pixel(3, 10), 0);
}

TEST(Fill, AllZeroRectangleFillsTheWholeSurface) {
  Surface s(4, 3);
  s.ColorFill({}, 7);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(s.pixels()[i], 7);
  s.ColorFill({1, 1, 3, 2}, 9);
  EXPECT_EQ(s.Pixel(0, 1), 7);
  EXPECT_EQ(s.Pixel(1, 1), 9);
  EXPECT_EQ(s.Pixel(2, 1), 9);
  EXPECT_EQ(s.Pixel(3, 1), 7);
  EXPECT_THROW(s.ColorFill({0, 0, 5, 3}, 1), RuntimeError);
}

// A display taken full screen with its flip chain of one back buffer.
class FlipChain : public ::testing::Test {
 protected:
  FlipChain() {
    dd.SetCooperativeLevel(kFullScreen | kExclusive | kAllowModeX);
    dd.SetDisplayMode(640, 480, 16);
    primary = dd.CreateFlipChain(1);
    back = primary->GetAttachedSurface();
  }
  HeadlessScreen screen;
  DirectDraw dd{screen};
  std::shared_ptr<PrimarySurface> primary;
  std::shared_ptr<Surface> back;
};

TEST_F(FlipChain, BackBufferHoldsTheFrameBeforeLast) {
  back->ColorFill({}, 1);
  primary->Flip();
  EXPECT_EQ(screen.shown.Pixel(5, 5), 1);
  back->ColorFill({0, 0, 10, 10}, 2);
  primary->Flip();
  EXPECT_EQ(screen.shown.Pixel(5, 5), 2);
  EXPECT_EQ(back->Pixel(5, 5), 1);  // the first frame is back in the back buffer
  EXPECT_EQ(screen.presented, 2);
}

// A frame the screen could not show leaves the chain as it was: the screen keeps the frame it
// showed last, and the next frame is drawn into the same back buffer, over the one not shown.
TEST_F(FlipChain, AFrameThatCannotBeShownDoesNotSwapTheBuffers) {
  back->ColorFill({}, 1);
  primary->Flip();
  back->ColorFill({}, 2);
  screen.allowPresent = false;
  EXPECT_THROW(primary->Flip(), RuntimeError);
  EXPECT_EQ(back->Pixel(5, 5), 2);
  EXPECT_EQ(primary->Pixel(5, 5), 1);
  screen.allowPresent = true;
  back->ColorFill({0, 0, 10, 10}, 3);
  primary->Flip();
  EXPECT_EQ(screen.shown.Pixel(5, 5), 3);
  EXPECT_EQ(screen.shown.Pixel(20, 20), 2);
  EXPECT_EQ(back->Pixel(5, 5), 1);
  EXPECT_EQ(screen.presented, 2);
}

TEST(DisplayObject, RefusesWhatItCannotDo) {
  HeadlessScreen noDevice;
  noDevice.hasDevice = false;
  EXPECT_THROW(DirectDraw{noDevice}, RuntimeError);

  HeadlessScreen refusing;
  refusing.allowExclusive = false;
  DirectDraw dd(refusing);
  EXPECT_THROW(dd.SetCooperativeLevel(kFullScreen | kExclusive), RuntimeError);
  EXPECT_THROW(dd.SetDisplayMode(640, 480, 16), RuntimeError);
  EXPECT_THROW(dd.CreateFlipChain(1), RuntimeError);

  HeadlessScreen screen;
  DirectDraw ok(screen);
  ok.SetCooperativeLevel(kFullScreen | kExclusive);
  EXPECT_THROW(ok.SetDisplayMode(640, 480, 32), RuntimeError);
}

class Frame : public test::GameTest {
 protected:
  void SetUp() override {
    Start();
    Place(form.BluePlayer, 100, 100);
    Place(form.RedPlayer, 300, 200);
  }
  uint16_t Shown(int x, int y) const { return screen.shown.Pixel(x, y); }
  static constexpr uint16_t kBackground = 0x0200;  // (0, 64, 0)
  static constexpr uint16_t kRed = 0xF800;
  static constexpr uint16_t kBlue = 0x001F;
};

TEST_F(Frame, DrawsBackgroundThenRedThenBlueOnTop) {
  Place(form.BluePlayer, 310, 210);
  const DrawnSprites drawn = form.DrawFrame();
  EXPECT_TRUE(drawn.background && drawn.red && drawn.blue);
  EXPECT_EQ(Shown(0, 0), kBackground);
  EXPECT_EQ(Shown(305, 205), kRed);
  EXPECT_EQ(Shown(315, 215), kBlue);
  EXPECT_EQ(Shown(339, 239), kBlue);
  EXPECT_EQ(Shown(340, 240), kBackground);
}

TEST_F(Frame, PositionsRoundHalfToEvenAndBlocksOffScreenAreNotDrawn) {
  struct Case {
    float x, y;
    bool drawn;
    int left;
  } cases[] = {{10.5f, 10, true, 10}, {11.5f, 10, true, 12},    {-0.4f, 10, true, 0},
               {-0.6f, 10, false, 0}, {609.5f, 10, true, 610},  {610.5f, 10, true, 610},
               {611, 10, false, 0},   {100, 450.5f, true, 100}, {3e9f, 0, false, 0}};
  for (const auto& c : cases) {
    Place(form.BluePlayer, c.x, c.y);
    const DrawnSprites drawn = form.DrawFrame();
    EXPECT_EQ(drawn.blue, c.drawn) << c.x;
    if (c.drawn) {
      EXPECT_EQ(Shown(c.left, static_cast<int>(std::nearbyint(c.y))), kBlue) << c.x;
      if (c.left > 0) {
        EXPECT_EQ(Shown(c.left - 1, 20), kBackground) << c.x;
      }
    }
  }
}

TEST_F(Frame, SmallBackgroundLeavesTheRestAsItWas) {
  test::WriteBitmap(dir / "bg.bmp", 100, 100, [](int, int) { return test::Rgb{0, 0, 255}; });
  form.DrawFrame();  // frame A into buffer 1 (full-size background)
  form.NewRound();
  Place(form.BluePlayer, 500, 400);
  Place(form.RedPlayer, 500, 300);
  form.DrawFrame();  // buffer 2 still holds its zeros outside the small background
  form.DrawFrame();  // buffer 1: outside 100 x 100 the old picture stays
  EXPECT_EQ(Shown(50, 50), kBlue);
  EXPECT_EQ(Shown(200, 200), kBackground);
}

TEST_F(Frame, NoBackgroundEverLoadedClearsTheWholeFrame) {
  form.BackgroundSprite = Sprite{};
  form.DrawFrame();
  EXPECT_EQ(Shown(0, 0), 0);
  EXPECT_EQ(Shown(639, 479), 0);
  EXPECT_EQ(Shown(100, 100), kBlue);
}

TEST_F(Frame, BlockBitmapLargerThanTheScreenIsNeverDrawn) {
  test::WriteBitmap(dir / "blueblock.bmp", 641, 20, [](int, int) { return test::Rgb{0, 0, 255}; });
  form.NewRound();
  Place(form.BluePlayer, 0, 0);
  EXPECT_FALSE(form.DrawFrame().blue);
}

}  // namespace
}  // namespace zorvane
