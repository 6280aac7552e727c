#include "game/sdl/error_report.h"

#include <SDL.h>

#include <iostream>

namespace zorvane {

void ReportError(const std::string& message, bool messageBox) {
  std::cerr << "zorvane: " << message << std::endl;
  // Without a display this fails within milliseconds; standard error has the message anyway.
  if (messageBox) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageBoxTitle, message.c_str(), nullptr);
  }
}

}  // namespace zorvane
