#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "game/sdl/video/color_table.h"
#include "game/sdl/video/no_display_error.h"
#include "game/sdl/video/renderer_presenter.h"
#include "game/sdl/video/sdl_screen.h"
#include "game/sdl/video/window_surface_presenter.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_files.h"

namespace zorvane {
namespace {

constexpr int kDummyWidth = 1024;  // the only mode of SDL's dummy display
constexpr int kDummyHeight = 768;

// Every pixel a different colour from its neighbours, so a picture off by one pixel shows.
Surface TestPicture() {
  Surface frame(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x)
      frame.pixels()[y * 640 + x] = static_cast<uint16_t>(x * 7 + y * 641);
  }
  return frame;
}

uint32_t ReadPixel(const SDL_Surface* surface, int x, int y) {
  const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
  return reinterpret_cast<const uint32_t*>(row)[x];
}

uint32_t Shown(const SDL_Surface* surface, uint16_t pixel) {
  const Rgb8 c = ExpandRgb565(pixel);
  return SDL_MapRGB(surface->format, c.r, c.g, c.b);
}

// Every surface pixel: black outside the picture's rectangle, inside it the picture pixel that
// a whole multiple `scale` puts there.
void ExpectPictureAt(const SDL_Surface* surface, const Surface& frame, int left, int top, int scale,
                     const std::string& where) {
  const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
  int wrong = 0;
  for (int y = 0; y < surface->h && wrong < 5; ++y) {
    for (int x = 0; x < surface->w && wrong < 5; ++x) {
      const int px = (x - left) / scale;
      const int py = (y - top) / scale;
      const bool inside = x >= left && y >= top && px < frame.width() && py < frame.height();
      const uint32_t want = inside ? Shown(surface, frame.Pixel(px, py)) : black;
      const uint32_t got = ReadPixel(surface, x, y);
      if (got != want) {
        ++wrong;
        ADD_FAILURE() << where << ": pixel " << x << "," << y << " is " << std::hex << got
                      << ", not " << want;
      }
    }
  }
}

class DummyVideoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
  void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  const test::ScopedEnv video_{"SDL_VIDEODRIVER", "dummy"};
};

TEST_F(DummyVideoTest, TheWindowSurfaceShowsTheFrameAtTheLargestWholeMultiple) {
  struct Case {
    int width, height;
    int left, top, scale;
  } const cases[] = {
      {1280, 960, 0, 0, 2}, {1920, 1080, 320, 60, 2}, {1024, 768, 192, 144, 1},
      {640, 480, 0, 0, 1},  {2000, 1500, 40, 30, 3},
  };
  const Surface frame = TestPicture();
  for (const Case& c : cases) {
    const std::string where = std::to_string(c.width) + "x" + std::to_string(c.height);
    SDL_Window* window = SDL_CreateWindow("t", 0, 0, c.width, c.height, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    auto presenter = WindowSurfacePresenter::Create(window);
    ASSERT_NE(presenter, nullptr) << where;
    ASSERT_TRUE(presenter->Present(frame)) << where;
    ExpectPictureAt(SDL_GetWindowSurface(window), frame, c.left, c.top, c.scale, where);
    presenter.reset();
    SDL_DestroyWindow(window);
  }
}

// Only the rows that differ from the frame shown are drawn again: after every present the window
// shows that frame, whichever rows changed, at 2x and at 1x off the corner.
TEST_F(DummyVideoTest, TheWindowSurfaceRedrawsTheRowsThatChanged) {
  const auto rowsFrom = [](int first, int end) {
    std::vector<int> rows;
    for (int y = first; y < end; ++y) rows.push_back(y);
    return rows;
  };
  struct Step {
    const char* what;
    std::vector<int> rows;  // rows of the frame given new pixels before the present
  } const steps[] = {
      {"the first frame", {}},         {"nothing changed", {}},
      {"the first row", {0}},          {"the last row", {479}},
      {"two runs apart", {3, 4, 200}}, {"a block's 30 rows", rowsFrom(100, 130)},
  };
  struct Window {
    int width, height, left, top, scale;
  } const windows[] = {{1280, 960, 0, 0, 2}, {700, 500, 30, 10, 1}};
  for (const Window& w : windows) {
    SDL_Window* window = SDL_CreateWindow("t", 0, 0, w.width, w.height, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    auto presenter = WindowSurfacePresenter::Create(window);
    ASSERT_NE(presenter, nullptr);
    Surface frame = TestPicture();
    uint16_t paint = 1;
    for (const Step& step : steps) {
      for (int y : step.rows) {
        for (int x = 0; x < 640; x += 3) frame.pixels()[y * 640 + x] = paint++;
      }
      ASSERT_TRUE(presenter->Present(frame)) << step.what;
      ExpectPictureAt(SDL_GetWindowSurface(window), frame, w.left, w.top, w.scale,
                      std::string(step.what) + " at " + std::to_string(w.width));
    }
    // A frame like the one shown draws nothing: a pixel changed behind the presenter's back stays
    // until its row of the frame changes.
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    const auto scribble = [&] {
      return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                         (w.top + 50 * w.scale) * surface->pitch) +
             w.left;
    };
    *scribble() = 0x123456;
    ASSERT_TRUE(presenter->Present(frame));
    EXPECT_EQ(*scribble(), 0x123456u);
    frame.pixels()[50 * 640 + 639] = paint;
    ASSERT_TRUE(presenter->Present(frame));
    EXPECT_EQ(*scribble(), Shown(surface, frame.Pixel(0, 50)));
    presenter.reset();
    SDL_DestroyWindow(window);
  }
}

TEST_F(DummyVideoTest, TheWindowSurfaceShrinksAFrameThatDoesNotFit) {
  const Surface frame = TestPicture();
  SDL_Window* window = SDL_CreateWindow("t", 0, 0, 320, 260, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  auto presenter = WindowSurfacePresenter::Create(window);
  ASSERT_NE(presenter, nullptr);
  ASSERT_TRUE(presenter->Present(frame));
  const SDL_Surface* surface = SDL_GetWindowSurface(window);
  // Half size, 10 rows of black above and below; each pixel is the second of its pair.
  const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
  for (int x = 0; x < 320; x += 7) {
    EXPECT_EQ(ReadPixel(surface, x, 9), black);
    EXPECT_EQ(ReadPixel(surface, x, 250), black);
    for (int y = 0; y < 240; y += 5) {
      ASSERT_EQ(ReadPixel(surface, x, 10 + y), Shown(surface, frame.Pixel(2 * x + 1, 2 * y + 1)))
          << x << "," << y;
    }
  }
  presenter.reset();
  SDL_DestroyWindow(window);
}

TEST_F(DummyVideoTest, TheRendererShowsTheFrameCentredOnBlack) {
  const Surface frame = TestPicture();
  SDL_Window* window = SDL_CreateWindow("t", 0, 0, 800, 600, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  auto presenter = RendererPresenter::Create(window, false, 640, 480);
  ASSERT_NE(presenter, nullptr) << SDL_GetError();
  ASSERT_TRUE(presenter->Present(frame));
  std::vector<uint32_t> pixels(800 * 600);
  ASSERT_EQ(SDL_RenderReadPixels(presenter->renderer(), nullptr, SDL_PIXELFORMAT_RGB888,
                                 pixels.data(), 800 * 4),
            0)
      << SDL_GetError();
  for (int y = 0; y < 600; y += 3) {
    for (int x = 0; x < 800; x += 3) {
      const bool inside = x >= 80 && x < 720 && y >= 60 && y < 540;
      const uint32_t got = pixels[static_cast<size_t>(y) * 800 + x];
      // Back to 16 bits: whatever the renderer's own expansion, the picture's bits must be there.
      const uint16_t asShown = static_cast<uint16_t>(((got >> 8) & 0xF800) | ((got >> 5) & 0x07E0) |
                                                     ((got >> 3) & 0x001F));
      const uint16_t want = inside ? frame.Pixel(x - 80, y - 60) : 0;
      ASSERT_EQ(asShown, want) << x << "," << y;
    }
  }
  presenter.reset();
  SDL_DestroyWindow(window);
}

// The screen as the game drives it, on SDL's dummy display.
class SdlScreenTest : public ::testing::Test {
 protected:
  const test::ScopedEnv video_{"SDL_VIDEODRIVER", "dummy"};
  SteadyClock clock_;
  FramePacer pacer_{clock_, SleepMicros};
  test::TempDir dir_;
};

TEST_F(SdlScreenTest, TakesTheWholeDisplayAndGivesItBack) {
  SdlScreen screen(dir_.path(), pacer_);
  ASSERT_TRUE(screen.OpenDevice());
  screen.ShowWindow();
  ASSERT_NE(screen.window(), nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(screen.window()), "Zorvane");
  int width = 0, height = 0;
  SDL_GetWindowSize(screen.window(), &width, &height);
  EXPECT_EQ(width, 312);
  EXPECT_EQ(height, 213);

  // No mode before the display is taken, and only the game's mode after.
  EXPECT_FALSE(screen.SetMode(640, 480, 16));
  ASSERT_TRUE(screen.TakeExclusive());
  EXPECT_TRUE(SDL_GetWindowFlags(screen.window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_GetWindowSize(screen.window(), &width, &height);
  EXPECT_EQ(width, kDummyWidth);
  EXPECT_EQ(height, kDummyHeight);
  EXPECT_FALSE(screen.SetMode(800, 600, 16));
  EXPECT_FALSE(screen.SetMode(640, 480, 8));
  ASSERT_TRUE(screen.SetMode(640, 480, 16));
  EXPECT_EQ(screen.presenterName(), "window surface");

  const Surface frame = TestPicture();
  ASSERT_TRUE(screen.Present(frame));
  ExpectPictureAt(SDL_GetWindowSurface(screen.window()), frame, 192, 144, 1, "full screen");

  screen.RestoreMode();
  EXPECT_FALSE(screen.Present(frame));
  screen.ReturnToNormal();
  const Uint32 flags = SDL_GetWindowFlags(screen.window());
  EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_TRUE(flags & SDL_WINDOW_HIDDEN);
  screen.Close();
  EXPECT_EQ(screen.window(), nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// The audio device and the controllers start once the first frame has been handed over, whether
// the display could show it or not, and only once.
TEST_F(SdlScreenTest, WhatTheFirstPictureNeedNotWaitForStartsOnceAfterTheFirstFrame) {
  const Surface frame = TestPicture();
  for (const bool modeSet : {true, false}) {
    SdlScreen screen(dir_.path(), pacer_);
    ASSERT_TRUE(screen.OpenDevice());
    screen.ShowWindow();
    ASSERT_TRUE(screen.TakeExclusive());
    ASSERT_EQ(screen.SetMode(640, 480, modeSet ? 16 : 8), modeSet);
    int starts = 0;
    bool pictureShownFirst = false;
    screen.AfterFirstFrame([&] {
      ++starts;
      const SDL_Surface* surface = SDL_GetWindowSurface(screen.window());
      pictureShownFirst = ReadPixel(surface, 192 + 5, 144) == Shown(surface, frame.Pixel(5, 0));
    });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(screen.Present(frame), modeSet);
    EXPECT_EQ(starts, 1) << modeSet;
    EXPECT_EQ(pictureShownFirst, modeSet);
    screen.Close();
  }
}

TEST_F(SdlScreenTest, AWindowSwitchesToFullScreenAndBackAndFollowsItsSize) {
  SdlScreen screen(dir_.path(), pacer_, true);
  ASSERT_TRUE(screen.OpenDevice());
  screen.ShowWindow();
  ASSERT_TRUE(screen.TakeExclusive());
  ASSERT_TRUE(screen.SetMode(640, 480, 16));
  SDL_Window* window = screen.window();
  const Surface frame = TestPicture();
  struct Step {
    const char* what;
    bool switchDisplay;
    int resizeTo;  // a width, with the picture's shape; 0 for none
    bool fullScreen;
    int width, height, left, top, scale;
  } const steps[] = {
      // The dummy display is 1024 x 768: one whole multiple fits.
      {"opened", false, 0, false, 640, 480, 0, 0, 1},
      {"Alt+Enter", true, 0, true, kDummyWidth, kDummyHeight, 192, 144, 1},
      {"Alt+Enter again", true, 0, false, 640, 480, 0, 0, 1},
      {"made larger", false, 1300, false, 1300, 975, 10, 7, 2},
      {"Alt+Enter after a resize", true, 0, true, kDummyWidth, kDummyHeight, 192, 144, 1},
      {"back to the size it had", true, 0, false, 1300, 975, 10, 7, 2},
  };
  for (const Step& step : steps) {
    if (step.switchDisplay) screen.SwitchDisplay();
    if (step.resizeTo != 0) SDL_SetWindowSize(window, step.resizeTo, step.resizeTo * 3 / 4);
    const Uint32 flags = SDL_GetWindowFlags(window);
    EXPECT_EQ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0, step.fullScreen) << step.what;
    ASSERT_TRUE(screen.Present(frame)) << step.what;
    const SDL_Surface* surface = SDL_GetWindowSurface(window);
    ASSERT_EQ(surface->w, step.width) << step.what;
    ASSERT_EQ(surface->h, step.height) << step.what;
    ExpectPictureAt(surface, frame, step.left, step.top, step.scale, step.what);
  }
}

TEST_F(SdlScreenTest, PresentsThatDoNotWaitArePacedToTheRefreshWithoutSpinning) {
  SdlScreen screen(dir_.path(), pacer_);
  ASSERT_TRUE(screen.OpenDevice());
  screen.ShowWindow();
  ASSERT_TRUE(screen.TakeExclusive());
  ASSERT_TRUE(screen.SetMode(640, 480, 16));
  const Surface frame = TestPicture();
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(screen.Present(frame));
  ASSERT_EQ(pacer_.presentWaits(), std::optional<bool>(false));

  const auto cpuSeconds = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  const double cpuBefore = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  constexpr int kFrames = 12;
  for (int i = 0; i < kFrames; ++i) ASSERT_TRUE(screen.Present(frame));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The dummy display reports no rate: 60 Hz.
  EXPECT_GE(seconds, (kFrames - 1) / 60.0);
  EXPECT_LT(cpuSeconds() - cpuBefore, seconds / 2);
}

TEST_F(SdlScreenTest, NoDisplayServerIsNoDisplay) {
  const test::ScopedEnv noDriver("SDL_VIDEODRIVER", nullptr);
  const test::ScopedEnv noDisplay("DISPLAY", nullptr);
  const test::ScopedEnv noWayland("WAYLAND_DISPLAY", nullptr);
  {
    SdlScreen screen(dir_.path(), pacer_);
    EXPECT_THROW(screen.OpenDevice(), NoDisplayError);
    screen.Close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  }
  // Asked for by name, the offscreen driver is what the caller wants.
  const test::ScopedEnv offscreen("SDL_VIDEODRIVER", "offscreen");
  SdlScreen screen(dir_.path(), pacer_);
  EXPECT_TRUE(screen.OpenDevice());
}

}  // namespace
}  // namespace zorvane
