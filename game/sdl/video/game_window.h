#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>

namespace zorvane {

// The game's window: an ordinary window captioned "Zorvane" with a client area of 312 x 213,
// the game's icon, and no visible mouse pointer over it unless asked. It can cover the whole
// display.
class GameWindow {
 public:
  static constexpr int kWidth = 312;
  static constexpr int kHeight = 213;
  static constexpr const char* kCaption = "Zorvane";

  // Shows the window. extraFlags go to SDL_CreateWindow (SDL_WINDOW_OPENGL for a GL renderer).
  // Raises NoDisplayError where no window can be made.
  GameWindow(const std::string& iconPath, uint32_t extraFlags);
  ~GameWindow();
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  SDL_Window* get() const { return window_; }

  // Covers the whole display on its own mode: no mode switch.
  bool EnterFullScreen();
  // An ordinary resizable window: where it was before full screen, or at first the largest whole
  // multiple of 640 x 480 that fits the display's usable area, centred on it.
  bool EnterWindow();
  void LeaveFullScreen();
  void Hide();
  // The desktop's pointer over the window, or none.
  void ShowPointer(bool shown);

  // Shown, and not minimised: presenting to it puts a picture on the screen.
  bool Visible() const;
  // The refresh rate of the window's display; 0 where it does not say.
  int RefreshRate() const;

 private:
  SDL_Window* window_ = nullptr;
  SDL_Cursor* cursor_ = nullptr;
  bool inWindow_ = false;
  std::optional<SDL_Rect> windowPlace_;  // as the player left it for full screen
};

}  // namespace zorvane
